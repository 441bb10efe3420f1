#include "hostpilot/session_window.h"

namespace farvane::hostpilot {

void PlatformSessionWindow::Show(HWND window, int command) {
    std::lock_guard guard(lock_);
    windows_[window].showCommand = command;
}

void PlatformSessionWindow::StripSystemMenu(HWND window) {
    std::lock_guard guard(lock_);
    SessionWindowState& state = windows_[window];
    state.systemMenuStripped = true;
    ++state.menuBarRedraws;
}

SessionWindowState PlatformSessionWindow::State(HWND window) {
    std::lock_guard guard(lock_);
    auto found = windows_.find(window);
    return found != windows_.end() ? found->second : SessionWindowState{};
}

}  // namespace farvane::hostpilot
