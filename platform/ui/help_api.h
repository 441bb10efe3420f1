// Help by context number: a help window that shows the topic registered for a help file and
// context. The topics are the program's own texts.
#pragma once

#include <string>

#include "platform/ui/user_constants.h"
#include "platform/ui/user_types.h"

namespace farvane::ui {

inline constexpr const char* kHelpWindowClassName = "FarvaneHelp";

// Registers the topic of a context in a help file (the file name is compared without any
// ">window" suffix, case-insensitively).
void RegisterHelpTopic(const std::string& helpFile, DWORD context, const std::string& title,
                       const std::string& text);
// HELP_CONTEXT shows a topic (FALSE when the file has no such topic, after showing a window
// that says so), HELP_CONTENTS/HELP_INDEX the contents (the topic set by HELP_SETCONTENTS),
// HELP_SETCONTENTS sets it, HELP_QUIT closes the help window.
BOOL WinHelpA(HWND window, LPCSTR helpFile, UINT command, std::uintptr_t data);
// The help window, or null when none is open.
HWND HelpWindow();
LRESULT HelpWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace farvane::ui
