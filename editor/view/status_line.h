// The text of the status line under the document windows.
#pragma once

#include <string>

#include "editor/core/edit_window.h"

inline constexpr int STATUS_LINE_WIDTH = 128;

// The status line for window (null: nothing is shown). A non-empty message is shown instead
// of the position line. widthInCharacters is the status window's width in characters.
std::string StatusLineText(const EditWindow* window, int widthInCharacters, bool recording,
                           const char* message);

// The status message: set by the commands through the user interface, shown once.
class StatusLine {
public:
    void SetMessage(const char* text);
    void Clear() { message_.clear(); }
    // The text to paint now; a message is shown once and then forgotten.
    std::string Paint(const EditWindow* window, int widthInCharacters, bool recording);

private:
    std::string message_;
};
