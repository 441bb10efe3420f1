#include "hostpilot/session_window.h"

#include "platform/ui/window_api.h"
#include "suite/fvses32/session_window.h"

namespace farvane::hostpilot {

// A post to a window that is gone (or to a handle that is not a window of this process) fails
// and changes nothing, which is all a session without a live window can ask for.
void PlatformSessionWindow::Show(HWND window, int command) {
    ui::PostMessageA(window, WM_FV_SESSION_SHOW, static_cast<WPARAM>(command), 0);
}

void PlatformSessionWindow::StripSystemMenu(HWND window) {
    ui::PostMessageA(window, WM_FV_SESSION_STRIP_MENU, 0, 0);
}

}  // namespace farvane::hostpilot
