// The memory display of --demo: a picture with a square that moves, so that a viewer sees
// changes without an X server.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace farvane::gdi {
class MemoryDisplay;
}

namespace fvhost {

class DemoDisplay {
public:
    static constexpr const char* kDesktopName = "memory:640x480x32#fvhost-demo";

    DemoDisplay();
    ~DemoDisplay();
    DemoDisplay(const DemoDisplay&) = delete;
    DemoDisplay& operator=(const DemoDisplay&) = delete;

    bool ok() const { return display_ != nullptr; }

private:
    void Animate();

    std::shared_ptr<farvane::gdi::MemoryDisplay> display_;
    std::atomic<bool> stop_{false};
    std::thread mover_;
};

}  // namespace fvhost
