// The script builder's windows: the modeless Reference dialog (template 31550) that lists the
// script commands, and the assistants (templates 1100 to 1600) that write their lines into
// the active document.
#pragma once

#include "platform/ui/ui.h"

namespace fvedit {

using namespace farvane::ui;

inline constexpr int IDD_REFERENCE = 31550;
inline constexpr int IDC_REFERENCE_LIST = 100;
inline constexpr int IDC_REFERENCE_TEXT = 101;
inline constexpr int IDC_REFERENCE_ASSIST = 107;
inline constexpr int IDC_REFERENCE_HELP = 9;
inline constexpr int IDC_ASSISTANT_HELP = 9;
inline constexpr const char* SCRIPT_HELP_FILE = "winfv32.hlp>dialog";
inline constexpr DWORD HELP_REFERENCE_CONTEXT = 26078;
inline constexpr DWORD HELP_SCRIPT_INDEX_CONTEXT = 26000;

// The command: shows or hides the Reference dialog (script builder mode only).
void batch_help();
// The Reference dialog and the open assistant, or null (the message loop routes their keys).
HWND ReferenceDialog();
HWND AssistantDialog();
// Opens the assistant of a command id as a modeless dialog owned by `parent`; null when the
// id has none.
HWND OpenAssistant(int id, HWND parent);
// Sends one script line to the active document with the insert-text message.
void InsertScriptLine(const char* line);
// Shows a script builder help topic and points the help index at the script builder's.
void ShowScriptHelp(HWND owner, DWORD context);

}  // namespace fvedit
