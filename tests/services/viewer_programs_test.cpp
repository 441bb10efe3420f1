// fvrem32 and fvonl32 as a person uses them: a host (fvhost) on one Xvfb display, the program
// on another, its viewer window captured and compared with the host's screen, keys typed into
// it with xdotool reaching an xterm on the host. The headless cases check what ends a session.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <thread>

#include "png_writer.h"
#include "program_run.h"
#include "session/video_wire.h"
#include "x_root.h"
#include "xvfb_server.h"
// After every other header: Xlib defines names such as CursorShape as macros.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using tooltest::ProgramRun;
using tooltest::RunProgram;

constexpr int kWidth = 320;
constexpr int kHeight = 240;
// The first pass shows the host's arrow at 0,0, where the viewer's pointer was.
constexpr int kCursorCorner = 32;

std::uint32_t Shown(std::uint32_t rgb) {
    videowire::Colour colour = videowire::ThreeThreeTwoColour(videowire::ThreeThreeTwo(
        static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
        static_cast<std::uint8_t>(rgb)));
    return static_cast<std::uint32_t>(colour.red) << 16 | colour.green << 8 | colour.blue;
}

struct Capture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The pixels of one window, read from the window itself (a Qt window under Xvfb without a
// window manager may read back black from the root).
Capture CaptureWindow(const std::string& display, unsigned long window) {
    Capture capture;
    Display* x = XOpenDisplay(display.c_str());
    if (!x) {
        return capture;
    }
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(x, window, &attributes)) {
        XImage* image = XGetImage(x, window, 0, 0, static_cast<unsigned>(attributes.width),
                                  static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
        if (image) {
            capture.width = attributes.width;
            capture.height = attributes.height;
            for (int y = 0; y < capture.height; ++y) {
                for (int column = 0; column < capture.width; ++column) {
                    capture.pixels.push_back(
                        static_cast<std::uint32_t>(XGetPixel(image, column, y) & 0xFFFFFF));
                }
            }
            XDestroyImage(image);
        }
    }
    XCloseDisplay(x);
    return capture;
}

class ViewerProgramsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!farvane::gdi::testing::XvfbServer::Available() || !fs::exists("/usr/bin/xdotool")) {
            GTEST_SKIP() << "Xvfb and xdotool are needed";
        }
        char pattern[] = "/tmp/viewer-programs-XXXXXX";
        folder_ = mkdtemp(pattern);
        for (const char* part : {"/host", "/viewer", "/runtime"}) {
            fs::create_directories(folder_ + part);
        }
        std::ofstream(folder_ + "/password") << "open sesame\n";
        ASSERT_TRUE(
            hostDisplay_.Start(std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24"));
        root_ = std::make_unique<scantest::XRoot>(hostDisplay_.display());
        ASSERT_TRUE(root_->ok());
        screen_.assign(static_cast<std::size_t>(kWidth) * kHeight, 0);
        const std::uint32_t colours[] = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF,
                                         0xFFFFFF, 0xC0C0C0, 0x604020, 0x2080A0};
        for (int y = 0; y < kHeight; y += 16) {
            for (int x = 0; x < kWidth; x += 40) {
                Fill(x, y, 40, 16, colours[(x / 40 + y / 16 * 3) % 8]);
            }
        }
    }
    void TearDown() override {
        program_.reset();
        host_.reset();
        if (!folder_.empty()) {
            fs::remove_all(folder_);
        }
    }

    void Fill(int x, int y, int width, int height, std::uint32_t rgb) {
        root_->Fill(x, y, width, height, rgb);
        for (int row = y; row < y + height; ++row) {
            for (int column = x; column < x + width; ++column) {
                screen_[static_cast<std::size_t>(row) * kWidth + column] = rgb;
            }
        }
    }

    // fvhost on the host display, listening or calling out; returns its log so far.
    bool StartHost(const std::vector<std::string>& mode) {
        std::vector<std::string> arguments = {"--display", hostDisplay_.display(),
                                              "--password-file", folder_ + "/password"};
        arguments.insert(arguments.end(), mode.begin(), mode.end());
        host_ = std::make_unique<ProgramRun>(
            FVHOST_PATH, arguments,
            std::map<std::string, std::string>{{"FARVANE_STATE_DIR", folder_ + "/host"}});
        return true;
    }
    // The "listening on 127.0.0.1:PORT, host key KEY" line of a listening host.
    int ListeningPort() {
        const std::string mark = "listening on 127.0.0.1:";
        if (!host_->WaitForOutput(mark, 10s)) {
            ADD_FAILURE() << host_->Output();
            return 0;
        }
        const std::string log = host_->Output();
        return std::atoi(log.c_str() + log.find(mark) + mark.size());
    }
    // The host's key: made at its first run, so a listening host is asked once for it.
    std::string HostKey() {
        const std::string keyMark = ", host key ";
        const std::string log = host_->Output();
        std::size_t key = log.find(keyMark);
        if (key == std::string::npos) {
            return {};
        }
        return log.substr(key + keyMark.size(), log.find('\n', key) - key - keyMark.size());
    }

    std::string SessionFile(const std::string& name, const std::string& text) {
        const std::string path = folder_ + "/" + name;
        std::ofstream(path) << text;
        return path;
    }

    // Starts a service program on the viewer display (or headless).
    void StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                      bool onDisplay) {
        std::map<std::string, std::string> environment{
            {"FARVANE_RUNTIME_DIR", folder_ + "/runtime"},
            {"FARVANE_WINDIR", folder_ + "/runtime"},
            {"FARVANE_STATE_DIR", folder_ + "/viewer"},
            {"FARVANE_UI", onDisplay ? "qt" : "headless"}};
        if (onDisplay) {
            environment["DISPLAY"] = viewerDisplay_.display();
            environment["QT_QPA_PLATFORM"] = "xcb";
        }
        program_ = std::make_unique<ProgramRun>(program, arguments, environment);
    }

    // The viewer window on the viewer display: the top-level whose title ends with the
    // program's name and starts with the host's address.
    std::optional<unsigned long> ViewerWindow(const std::string& title) {
        std::string output;
        if (RunProgram("/usr/bin/xdotool", {"search", "--sync", "--onlyvisible", "--name", title},
                       &output, 15s, {{"DISPLAY", viewerDisplay_.display()}}) != 0) {
            return std::nullopt;
        }
        return std::stoul(output);
    }

    // Finds where the host's screen shows in the capture (the client area's place in the
    // window) and counts the pixels that differ from the screen as the viewer must show it.
    int Differences(const Capture& capture, int* left, int* top) {
        int best = kWidth * kHeight;
        for (int dy = 0; dy + kHeight <= capture.height && dy < 80; ++dy) {
            for (int dx = 0; dx + kWidth <= capture.width && dx < 40; ++dx) {
                int differences = 0;
                for (int y = kCursorCorner; y < kHeight && differences < best; ++y) {
                    for (int x = 0; x < kWidth; ++x) {
                        if (capture.at(dx + x, dy + y) !=
                            Shown(screen_[static_cast<std::size_t>(y) * kWidth + x])) {
                            ++differences;
                        }
                    }
                }
                if (differences < best) {
                    best = differences;
                    *left = dx;
                    *top = dy;
                }
            }
        }
        return best;
    }

    // Waits until the viewer window shows the host's screen; keeps the capture as a PNG.
    bool WindowShowsTheHost(unsigned long window, const std::string& png, int* left, int* top) {
        int differences = kWidth * kHeight;
        Capture capture;
        for (auto until = std::chrono::steady_clock::now() + 15s;
             differences != 0 && std::chrono::steady_clock::now() < until;) {
            std::this_thread::sleep_for(300ms);
            capture = CaptureWindow(viewerDisplay_.display(), window);
            if (capture.width >= kWidth && capture.height >= kHeight) {
                differences = Differences(capture, left, top);
            }
        }
        if (!capture.pixels.empty()) {
            fvstream::writePng(SCREENSHOT_DIR "/" + png, capture.width, capture.height,
                               capture.pixels);
        }
        EXPECT_EQ(differences, 0) << "see " << SCREENSHOT_DIR "/" + png;
        return differences == 0;
    }

    // Clicks at host position 20,20 (the xterm), then types a line into the viewer window.
    void TypeIntoViewer(unsigned long window, int left, int top, const std::string& line) {
        std::string output;
        const std::map<std::string, std::string> display{{"DISPLAY", viewerDisplay_.display()}};
        const std::string id = std::to_string(window);
        RunProgram("/usr/bin/xdotool",
                   {"mousemove", "--window", id, std::to_string(left + 20),
                    std::to_string(top + 20), "click", "1"},
                   &output, 10s, display);
        std::this_thread::sleep_for(300ms);
        RunProgram("/usr/bin/xdotool", {"type", "--delay", "30", line}, &output, 20s, display);
        RunProgram("/usr/bin/xdotool", {"key", "Return"}, &output, 10s, display);
    }

    std::string WaitForFile(const std::string& path) {
        for (auto until = std::chrono::steady_clock::now() + 8s;
             !fs::exists(path) && std::chrono::steady_clock::now() < until;) {
            std::this_thread::sleep_for(50ms);
        }
        std::this_thread::sleep_for(100ms);
        std::ifstream file(path);
        return std::string((std::istreambuf_iterator<char>(file)), {});
    }

    std::string folder_;
    farvane::gdi::testing::XvfbServer hostDisplay_;
    farvane::gdi::testing::XvfbServer viewerDisplay_;
    std::unique_ptr<scantest::XRoot> root_;
    std::vector<std::uint32_t> screen_;
    std::unique_ptr<ProgramRun> host_;
    std::unique_ptr<ProgramRun> program_;
};

// The remote control session shows the host and sends keys; its end closes the program.
TEST_F(ViewerProgramsTest, RemoteShowsTheHostTypesIntoItAndEndsWithIt) {
    if (!fs::exists("/usr/bin/xterm")) {
        GTEST_SKIP() << "xterm is needed";
    }
    ASSERT_TRUE(viewerDisplay_.Start("800x600x24"));
    StartHost({"--listen", "127.0.0.1:0"});
    const int port = ListeningPort();
    ASSERT_NE(port, 0);
    const std::string file = SessionFile(
        "host.chf", "[Host]\nAddress=127.0.0.1   ; the test's host\nPort=" + std::to_string(port) +
                        "\nFingerprint=" + HostKey() +
                        "\nPasswordFile=password\n[View]\nCapabilities=0x0011\nScale=1:1\n");
    StartProgram(FVREM32, {file}, true);
    std::optional<unsigned long> window = ViewerWindow("^127.0.0.1:" + std::to_string(port));
    ASSERT_TRUE(window) << program_->Output();
    int left = 0;
    int top = 0;
    ASSERT_TRUE(WindowShowsTheHost(*window, "fvrem32_viewer.png", &left, &top))
        << program_->Output();

    const std::string typed = folder_ + "/typed.txt";
    ProgramRun xterm("/usr/bin/xterm",
                     {"-display", hostDisplay_.display(), "-geometry", "30x5+0+0", "-e", "sh", "-c",
                      "read line; printf '%s' \"$line\" > " + typed});
    std::string output;
    ASSERT_EQ(
        RunProgram("/usr/bin/xdotool", {"search", "--sync", "--onlyvisible", "--class", "XTerm"},
                   &output, 10s, {{"DISPLAY", hostDisplay_.display()}}),
        0);
    std::this_thread::sleep_for(1s);  // the viewer sees the xterm before it is clicked
    TypeIntoViewer(*window, left, top, "Hello, FV! ~$");
    EXPECT_EQ(WaitForFile(typed), "Hello, FV! ~$") << program_->Output();

    // The host hangs up: the session is over and the program closes.
    host_->Signal(SIGTERM);
    EXPECT_EQ(program_->Wait(15s), 0) << program_->Output();
}

// The online service listens; the host calls out to it and is shown in the same window.
TEST_F(ViewerProgramsTest, OnlineShowsAHostThatCallsOutAndTypesIntoIt) {
    if (!fs::exists("/usr/bin/xterm")) {
        GTEST_SKIP() << "xterm is needed";
    }
    ASSERT_TRUE(viewerDisplay_.Start("800x600x24"));
    // A first run of the host makes its key, which the OnlSvc file pins.
    StartHost({"--listen", "127.0.0.1:0"});
    ASSERT_NE(ListeningPort(), 0);
    const std::string key = HostKey();
    host_.reset();
    const std::string file = SessionFile("desk.osf",
                                         "[Listen]\nAddress=127.0.0.1\nPort=0\n[Host]\n"
                                         "Fingerprint=" +
                                             key +
                                             "\nPasswordFile=password\n"
                                             "[View]\nScale=1:1\n");
    StartProgram(FVONL32, {file}, true);
    const std::string mark = "waiting for a host to call 127.0.0.1:";
    ASSERT_TRUE(program_->WaitForOutput(mark, 15s)) << program_->Output();
    const std::string log = program_->Output();
    const int port = std::atoi(log.c_str() + log.find(mark) + mark.size());
    StartHost({"--call", "127.0.0.1:" + std::to_string(port)});
    std::optional<unsigned long> window = ViewerWindow("^127.0.0.1 - fvonl32");
    ASSERT_TRUE(window) << program_->Output() << host_->Output();
    int left = 0;
    int top = 0;
    ASSERT_TRUE(WindowShowsTheHost(*window, "fvonl32_viewer.png", &left, &top))
        << program_->Output();

    const std::string typed = folder_ + "/typed.txt";
    ProgramRun xterm("/usr/bin/xterm",
                     {"-display", hostDisplay_.display(), "-geometry", "30x5+0+0", "-e", "sh", "-c",
                      "read line; printf '%s' \"$line\" > " + typed});
    std::string output;
    ASSERT_EQ(
        RunProgram("/usr/bin/xdotool", {"search", "--sync", "--onlyvisible", "--class", "XTerm"},
                   &output, 10s, {{"DISPLAY", hostDisplay_.display()}}),
        0);
    std::this_thread::sleep_for(1s);
    TypeIntoViewer(*window, left, top, "called out");
    EXPECT_EQ(WaitForFile(typed), "called out") << program_->Output();

    // Closing the viewer window (View, Close) ends the session and the program; the host
    // hears the viewer say bye.
    const std::string id = std::to_string(*window);
    const std::map<std::string, std::string> display{{"DISPLAY", viewerDisplay_.display()}};
    RunProgram("/usr/bin/xdotool", {"mousemove", "--window", id, "24", "8", "click", "1"}, &output,
               10s, display);
    std::this_thread::sleep_for(500ms);
    RunProgram("/usr/bin/xdotool", {"mousemove", "--window", id, "51", "54", "click", "1"}, &output,
               10s, display);
    EXPECT_EQ(program_->Wait(15s), 0) << program_->Output();
    EXPECT_TRUE(host_->WaitForOutput("the viewer said bye", 5s)) << host_->Output();
}

// Host and viewer both call a gateway (fvgate), which pairs them by the host's name and relays
// TLS it cannot read: the typed text never shows in what it relayed.
TEST_F(ViewerProgramsTest, RemoteReachesAHostThroughAGateway) {
    if (!fs::exists("/usr/bin/xterm")) {
        GTEST_SKIP() << "xterm is needed";
    }
    ASSERT_TRUE(viewerDisplay_.Start("800x600x24"));
    StartHost({"--listen", "127.0.0.1:0"});
    ASSERT_NE(ListeningPort(), 0);
    const std::string key = HostKey();
    host_.reset();
    const std::string relay = SessionFile("relay.gwf", "[Hosts]\nPort=0\n[Viewers]\nPort=0\n");
    ProgramRun gateway(FVGATE, {relay},
                       {{"FARVANE_UI", "headless"},
                        {"FARVANE_RUNTIME_DIR", folder_ + "/runtime"},
                        {"FARVANE_WINDIR", folder_ + "/runtime"},
                        {"FARVANE_TEST_GATEWAY_TAP", folder_ + "/tap"}});
    ASSERT_TRUE(gateway.WaitForOutput("viewers connect at 127.0.0.1:", 10s)) << gateway.Output();
    const std::string log = gateway.Output();
    const int hostPort = std::atoi(log.c_str() + log.find("register at 127.0.0.1:") + 22);
    const int viewerPort = std::atoi(log.c_str() + log.find("connect at 127.0.0.1:") + 21);
    StartHost({"--call", "127.0.0.1:" + std::to_string(hostPort), "--gateway-name", "desk"});
    ASSERT_TRUE(host_->WaitForOutput("registered as desk at the gateway", 10s))
        << host_->Output() << gateway.Output();
    const std::string file =
        SessionFile("desk.chf", "[Host]\nAddress=127.0.0.1\nPort=" + std::to_string(viewerPort) +
                                    "\nGateway=desk\nFingerprint=" + key +
                                    "\nPasswordFile=password\n[View]\nScale=1:1\n");
    StartProgram(FVREM32, {file}, true);
    std::optional<unsigned long> window =
        ViewerWindow("^desk@127.0.0.1:" + std::to_string(viewerPort));
    ASSERT_TRUE(window) << program_->Output() << gateway.Output();
    int left = 0;
    int top = 0;
    ASSERT_TRUE(WindowShowsTheHost(*window, "fvrem32_gateway_viewer.png", &left, &top))
        << program_->Output();

    const std::string typed = folder_ + "/typed.txt";
    ProgramRun xterm("/usr/bin/xterm",
                     {"-display", hostDisplay_.display(), "-geometry", "30x5+0+0", "-e", "sh", "-c",
                      "read line; printf '%s' \"$line\" > " + typed});
    std::string output;
    ASSERT_EQ(
        RunProgram("/usr/bin/xdotool", {"search", "--sync", "--onlyvisible", "--class", "XTerm"},
                   &output, 10s, {{"DISPLAY", hostDisplay_.display()}}),
        0);
    std::this_thread::sleep_for(1s);
    TypeIntoViewer(*window, left, top, "relayed secretly");
    EXPECT_EQ(WaitForFile(typed), "relayed secretly") << program_->Output();
    program_.reset();  // the viewer goes: the pair's end ends the gateway's session
    EXPECT_EQ(gateway.Wait(10s), 0) << gateway.Output();
    for (const char* direction : {"/tap.to-host", "/tap.to-viewer"}) {
        std::ifstream tap(folder_ + direction, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(tap)), {});
        EXPECT_FALSE(bytes.empty()) << direction;
        EXPECT_EQ(bytes.find("relayed"), std::string::npos) << direction;
        EXPECT_EQ(bytes.find("sesame"), std::string::npos) << direction;
    }
}

// A new host's key is shown in a Yes/No box; once accepted it is pinned, and the password
// is asked for in a dialog.
TEST_F(ViewerProgramsTest, AnUnknownKeyIsAcceptedInABoxAndThePasswordAskedFor) {
    ASSERT_TRUE(viewerDisplay_.Start("800x600x24"));
    StartHost({"--listen", "127.0.0.1:0"});
    const int port = ListeningPort();
    ASSERT_NE(port, 0);
    const std::string file =
        SessionFile("host.chf", "[Host]\nAddress=127.0.0.1\nPort=" + std::to_string(port) + "\n");
    StartProgram(FVREM32, {file}, true);
    const std::map<std::string, std::string> display{{"DISPLAY", viewerDisplay_.display()}};
    std::string output;
    // The box names the key; Yes is its default button.
    ASSERT_EQ(
        RunProgram("/usr/bin/xdotool", {"search", "--sync", "--onlyvisible", "--name", "^fvrem32$"},
                   &output, 15s, display),
        0)
        << program_->Output();
    std::this_thread::sleep_for(500ms);
    RunProgram("/usr/bin/xdotool", {"key", "Return"}, &output, 10s, display);
    // The password dialog, the next window of that title; the pointer goes into it, as a
    // display without a window manager gives the keyboard to the window under the pointer.
    std::this_thread::sleep_for(1s);
    ASSERT_EQ(
        RunProgram("/usr/bin/xdotool", {"search", "--sync", "--onlyvisible", "--name", "^fvrem32$"},
                   &output, 15s, display),
        0);
    RunProgram("/usr/bin/xdotool",
               {"mousemove", "--window", std::to_string(std::stoul(output)), "100", "40"}, &output,
               10s, display);
    RunProgram("/usr/bin/xdotool", {"type", "--delay", "30", "open sesame"}, &output, 10s, display);
    RunProgram("/usr/bin/xdotool", {"key", "Return"}, &output, 10s, display);
    EXPECT_TRUE(ViewerWindow("^127.0.0.1:" + std::to_string(port))) << program_->Output();
    std::ifstream knownHosts(folder_ + "/viewer/known_hosts");
    std::string pinned((std::istreambuf_iterator<char>(knownHosts)), {});
    EXPECT_NE(pinned.find("127.0.0.1:" + std::to_string(port) + " " + HostKey()), std::string::npos)
        << pinned << program_->Output();
    // The window opens only once the host admitted the viewer.
    EXPECT_TRUE(program_->WaitForOutput("showing 127.0.0.1:", 5s)) << program_->Output();
}

// Headless: what ends a session before it shows anything, each with a message that names why.
TEST_F(ViewerProgramsTest, ARefusedOrUnusableSessionSaysWhyAndEndsTheProgram) {
    StartHost({"--listen", "127.0.0.1:0"});
    const int port = ListeningPort();
    ASSERT_NE(port, 0);
    const std::string other = "SHA256:" + std::string(64, 'a');
    struct Case {
        std::string text;
        std::string said;
        std::string alsoSaid = "";
        bool namesOfferedKey = false;
    } cases[] = {
        {"[Host]\nAddress=127.0.0.1\nPort=" + std::to_string(port) + "\nFingerprint=" + other +
             "\nPasswordFile=password\n",
         "is not the one the session file pins", other, true},
        {"[Host]\nAddress=127.0.0.1\nPort=" + std::to_string(port) +
             "\nPasswordFile=password\n[View]\nScale=half\n",
         "[View] Scale=half must be fit or 1:1"},
        {"[Host]\nPort=5899\n", "[Host] Address is missing"},
        {"[Host]\nAddress=127.0.0.1\nPort=" + std::to_string(port) + "\nFingerprint=" + HostKey() +
             "\nPasswordFile=missing-file\n",
         "cannot be read"},
        // Unknown, and nobody there to accept it: refused.
        {"[Host]\nAddress=127.0.0.1\nPort=" + std::to_string(port) + "\nPasswordFile=password\n",
         "is not known", "", true},
    };
    for (const Case& c : cases) {
        const std::string file = SessionFile("bad.chf", c.text);
        StartProgram(FVREM32, {file}, false);
        EXPECT_EQ(program_->Wait(15s), 0) << c.text << program_->Output();
        EXPECT_NE(program_->Output().find(c.said), std::string::npos)
            << c.text << program_->Output();
        EXPECT_NE(program_->Output().find(c.alsoSaid), std::string::npos) << program_->Output();
        // The offered key is named whenever the host's key was the reason.
        if (c.namesOfferedKey) {
            EXPECT_NE(program_->Output().find(HostKey()), std::string::npos) << program_->Output();
        }
    }
    // Refusing the key kept the host from admitting anyone.
    EXPECT_EQ(host_->Output().find("admitted"), std::string::npos) << host_->Output();
}

}  // namespace
