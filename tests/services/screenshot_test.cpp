// fvrem32's main frame on a private Xvfb (a free display chosen by the server), captured with
// Xlib into a PNG kept in the build folder to be looked at.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "png_writer.h"
// After every other header: Xlib defines names such as CursorShape as macros.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "tests/services/program_runner.h"

namespace {

using namespace std::chrono_literals;

class PrivateXvfb {
public:
    PrivateXvfb() {
        if (access("/usr/bin/Xvfb", X_OK) != 0) {
            return;
        }
        int fds[2];
        if (pipe(fds) != 0) {
            return;
        }
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            // A fixed, high number for the server's end: the server's own start-up closes
            // and reuses low descriptors that a test runner may have left free.
            constexpr int kDisplayFd = 40;
            dup2(fds[1], kDisplayFd);
            std::string fd = std::to_string(kDisplayFd);
            execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "800x600x24",
                  "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        char number[16] = {};
        ssize_t length = read(fds[0], number, sizeof number - 1);  // written once it is ready
        close(fds[0]);
        if (length > 0) {
            display_ = ":" + std::string(number, static_cast<std::size_t>(length));
            display_.erase(display_.find_last_not_of("\n ") + 1);
        }
    }
    ~PrivateXvfb() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

// Writes the root window of `display` to `png`; returns the number of distinct colours, 0 when
// the capture failed.
std::size_t CaptureScreen(const std::string& display, const std::string& png) {
    Display* x = XOpenDisplay(display.c_str());
    if (!x) {
        return 0;
    }
    int width = DisplayWidth(x, DefaultScreen(x));
    int height = DisplayHeight(x, DefaultScreen(x));
    XImage* image = XGetImage(x, DefaultRootWindow(x), 0, 0, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    std::vector<videodecode::Rgb> pixels;
    std::set<videodecode::Rgb> colours;
    if (image) {
        for (int y = 0; y < height; ++y) {
            for (int col = 0; col < width; ++col) {
                auto pixel = static_cast<videodecode::Rgb>(XGetPixel(image, col, y) & 0xFFFFFF);
                pixels.push_back(pixel);
                colours.insert(pixel);
            }
        }
        XDestroyImage(image);
    }
    XCloseDisplay(x);
    if (pixels.empty() || !fvstream::writePng(png, width, height, pixels).empty()) {
        return 0;
    }
    return colours.size();
}

// One run: a server, the program on it, the capture. Returns the colours captured (0: the
// server went away before the capture, which a busy machine sometimes makes it do).
std::size_t ShowAndCapture(const std::string& png, bool& haveServer) {
    PrivateXvfb xvfb;
    haveServer = !xvfb.display().empty();
    if (!haveServer) {
        return 0;
    }
    farvane::services::testing::TempFolder folder;
    // No session file: the frame is shown as it is, not minimised.
    farvane::services::testing::ProgramRun run(
        FVREM32, {}, folder.path(),
        {{"FARVANE_UI", "qt"}, {"DISPLAY", xvfb.display()}, {"QT_QPA_PLATFORM", "xcb"}});
    std::this_thread::sleep_for(2500ms);
    if (!run.StillRunning()) {
        return 0;
    }
    return CaptureScreen(xvfb.display(), png);
}

TEST(ServiceScreenshotTest, RemoteMainFrameWithToolbarAndStatusBar) {
    std::string png = SCREENSHOT_DIR "/fvrem32_main_frame.png";
    unlink(png.c_str());
    std::size_t colours = 0;
    bool haveServer = false;
    for (int attempt = 0; attempt < 3 && colours <= 4; ++attempt) {
        colours = ShowAndCapture(png, haveServer);
        if (!haveServer) {
            GTEST_SKIP() << "needs Xvfb";
        }
    }
    EXPECT_GT(colours, 4u) << "a frame with bars, not a blank screen";
}

}  // namespace
