// The session window as the host pilot touches it: its show state and its system menu. The
// windowing layer (platform/ui) is growing its window object; until it has the system menu,
// this adapter keeps what the host pilot did to each window, so that programs and tests can
// read it and the later windowing layer can take it over.
#pragma once

#include <map>
#include <mutex>

#include "hostpilot/host_services.h"

namespace farvane::hostpilot {

struct SessionWindowState {
    int showCommand = -1;  // last ShowWindow command; -1: never shown or hidden
    bool systemMenuStripped = false;
    int menuBarRedraws = 0;
};

class PlatformSessionWindow final : public ISessionWindow {
public:
    void Show(HWND window, int command) override;
    void StripSystemMenu(HWND window) override;
    SessionWindowState State(HWND window);

private:
    std::mutex lock_;
    std::map<HWND, SessionWindowState> windows_;
};

}  // namespace farvane::hostpilot
