#include "demo_display.h"

#include <chrono>

#include "platform/gdi/display_registry.h"
#include "platform/gdi/memory_display.h"

namespace fvhost {

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kSquare = 48;
constexpr int kTrackY = kHeight / 2 - kSquare / 2;
constexpr COLORREF kTrack = RGB(128, 128, 128);
constexpr auto kStepTime = std::chrono::milliseconds(100);

}  // namespace

DemoDisplay::DemoDisplay() : display_(farvane::gdi::FindMemoryDisplay(kDesktopName)) {
    if (!display_) {
        return;
    }
    // Four colour bands, so that the picture shows where it is.
    const COLORREF bands[4] = {RGB(0, 0, 128), RGB(0, 128, 0), RGB(128, 0, 0), RGB(128, 128, 0)};
    for (int band = 0; band < 4; ++band) {
        display_->FillRect(0, band * kHeight / 4, kWidth, kHeight / 4, bands[band]);
    }
    display_->FillRect(0, kTrackY, kWidth, kSquare, kTrack);
    mover_ = std::thread([this] { Animate(); });
}

DemoDisplay::~DemoDisplay() {
    stop_.store(true);
    if (mover_.joinable()) {
        mover_.join();
    }
}

void DemoDisplay::Animate() {
    int x = 0;
    int step = 8;
    while (!stop_.load()) {
        display_->FillRect(x, kTrackY, kSquare, kSquare, kTrack);
        x += step;
        if (x <= 0 || x + kSquare >= kWidth) {
            step = -step;
        }
        display_->FillRect(x, kTrackY, kSquare, kSquare, RGB(255, 255, 255));
        std::this_thread::sleep_for(kStepTime);
    }
}

}  // namespace fvhost
