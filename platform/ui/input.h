// Input entering the model: the backends turn native key, mouse and drop events into these
// calls, and headless tests call them to act as the user.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/user_types.h"

namespace farvane::ui {

struct KeyModifiers {
    bool shift = false;
    bool control = false;
    bool alt = false;
};

// The character a key types with these modifiers, or 0 (used when the backend gives none).
char TypedCharFor(WORD virtualKey, KeyModifiers modifiers);
// Posts a key-down or key-up to the focus window (the active window when nothing has the
// focus) and updates the key state that GetKeyState reads. Returns FALSE when no window can
// take it.
BOOL PostKeyEvent(WORD virtualKey, bool down, KeyModifiers modifiers, char typed = -1);
// Posts a mouse message to a window (or to the window holding the capture).
BOOL PostMouseEvent(HWND window, UINT message, int x, int y, KeyModifiers modifiers = {});
// Posts WM_DROPFILES with the paths to a window that accepts files.
BOOL PostDroppedFiles(HWND window, const std::vector<std::string>& paths);

}  // namespace farvane::ui
