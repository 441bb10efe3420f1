// The session window as the host pilot touches it: its show state and its system menu. The
// window belongs to the session library's UI thread and the host pilot runs on the session's
// dispatch thread, which must never wait; so each change is posted to the window, whose own
// procedure carries it out on the UI thread.
#pragma once

#include "hostpilot/host_services.h"

namespace farvane::hostpilot {

class PlatformSessionWindow final : public ISessionWindow {
public:
    void Show(HWND window, int command) override;
    void StripSystemMenu(HWND window) override;
};

}  // namespace farvane::hostpilot
