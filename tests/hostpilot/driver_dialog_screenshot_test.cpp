// A screenshot of the driver load failure dialog on a private Xvfb, kept in the build folder.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QScreen>

#include <chrono>
#include <memory>
#include <set>
#include <thread>

#include "hostpilot/host_resources.h"
#include "tests/ui/qt_test_support.h"
#include "tests/ui/xvfb_session.h"

namespace farvane::hostpilot {
namespace {

using namespace farvane::ui;

TEST(DriverDialogScreenshotTest, ShowsDriverNameAndErrorNumber) {
    farvane::ui::testing::XvfbSession xvfb;
    if (!xvfb.running()) {
        GTEST_SKIP() << "the screenshot needs a display: " << xvfb.reason();
    }
    setenv("DISPLAY", xvfb.display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    farvane::ui::testing::StartQtBackend("xcb")->setUnattended(true);
    DriverLoadFailure failure{"fvdsp41.dll", -5};
    HWND dialog =
        CreateDialogParamA(HostPilotResourceModule(), MAKEINTRESOURCEA(IDD_DRIVER_LOAD_FAILURE),
                           nullptr, DriverLoadFailureProc, reinterpret_cast<LPARAM>(&failure));
    ASSERT_NE(dialog, nullptr);
    SetWindowPos(dialog, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    while (std::chrono::steady_clock::now() < end) {
        PumpPendingMessages();
        farvane::ui::testing::ProcessQtEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    QImage image = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    image.save(QStringLiteral(SCREENSHOT_DIR "/driver_load_failure.png"));
    RECT rect;
    GetWindowRect(dialog, &rect);
    std::set<QRgb> colours;
    for (int y = rect.top; y < rect.bottom; y += 2) {
        for (int x = rect.left; x < rect.right; x += 2) {
            colours.insert(image.pixel(x, y));
        }
    }
    EXPECT_GT(colours.size(), 4u);  // text and controls, not a blank rectangle
    DestroyWindow(dialog);
    UseHeadlessBackend();
}

}  // namespace
}  // namespace farvane::hostpilot
