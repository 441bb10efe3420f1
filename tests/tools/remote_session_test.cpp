// fvhost and fvview as two processes on loopback, over an Xvfb display with known content.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <thread>

#include "image_file.h"
#include "program_run.h"
#include "session/video_wire.h"
#include "x_root.h"
#include "xvfb_server.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using tooltest::ProgramRun;
using tooltest::RunProgram;

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kExitRefused = 3;

// The picture the viewer must show for a screen colour: the 3-3-2 byte's colour.
std::uint32_t Shown(std::uint32_t rgb) {
    videowire::Colour colour = videowire::ThreeThreeTwoColour(videowire::ThreeThreeTwo(
        static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
        static_cast<std::uint8_t>(rgb)));
    return static_cast<std::uint32_t>(colour.red) << 16 | colour.green << 8 | colour.blue;
}

class RemoteSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!farvane::gdi::testing::XvfbServer::Available()) {
            GTEST_SKIP() << "Xvfb is not installed";
        }
        char pattern[] = "/tmp/remote-session-XXXXXX";
        folder_ = mkdtemp(pattern);
        fs::create_directories(folder_ + "/host");
        fs::create_directories(folder_ + "/viewer");
        std::ofstream(folder_ + "/password") << "open sesame\n";
        std::ofstream(folder_ + "/wrong") << "open barley\n";
        ASSERT_TRUE(server_.Start(std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24"));
        root_ = std::make_unique<scantest::XRoot>(server_.display());
        ASSERT_TRUE(root_->ok());
        screen_.assign(static_cast<std::size_t>(kWidth) * kHeight, 0);
        // Blocks of colours, some that 3-3-2 keeps and some that it changes.
        const std::uint32_t colours[] = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF,
                                         0xFFFFFF, 0xC0C0C0, 0x604020, 0x2080A0};
        for (int y = 0; y < kHeight; y += 16) {
            for (int x = 0; x < kWidth; x += 40) {
                Fill(x, y, 40, 16, colours[(x / 40 + y / 16 * 3) % 8]);
            }
        }
    }
    void TearDown() override {
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

    // Starts fvhost on the display; returns the port it listens on (0 on failure).
    int StartHost(std::vector<std::string> extra = {}) {
        std::vector<std::string> arguments = {"--display",       server_.display(),
                                              "--listen",        "127.0.0.1:0",
                                              "--password-file", folder_ + "/password"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        host_ = std::make_unique<ProgramRun>(FVHOST_PATH, arguments, HostEnvironment());
        if (!host_->WaitForOutput("listening on 127.0.0.1:", 10s)) {
            ADD_FAILURE() << host_->Output();
            return 0;
        }
        return PortOf(host_->Output(), &fingerprint_);
    }
    // The port and host key of the host's "listening on 127.0.0.1:PORT, host key KEY" line.
    static int PortOf(const std::string& log, std::string* fingerprint) {
        const std::string mark = "listening on 127.0.0.1:";
        const std::string keyMark = ", host key ";
        std::size_t at = log.find(mark);
        std::size_t key = log.find(keyMark, at);
        if (at == std::string::npos || key == std::string::npos) {
            return 0;
        }
        std::size_t end = log.find('\n', key);
        *fingerprint = log.substr(key + keyMark.size(), end - key - keyMark.size());
        return std::atoi(log.c_str() + at + mark.size());
    }
    std::map<std::string, std::string> HostEnvironment() {
        return {{"FARVANE_STATE_DIR", folder_ + "/host"}};
    }

    std::vector<std::string> ViewerArguments(int port, const std::string& password = "password") {
        return {"127.0.0.1:" + std::to_string(port),
                "--password-file",
                folder_ + "/" + password,
                "--known-hosts",
                folder_ + "/viewer/known_hosts",
                "--trust-new"};
    }

    // The PNG as 0xRRGGBB pixels; empty when it cannot be read.
    std::vector<std::uint32_t> ReadPicture(const std::string& path) {
        fvscan::RgbImage image;
        std::string error;
        if (!fvscan::LoadImage(path, image, error) || image.width != kWidth ||
            image.height != kHeight) {
            ADD_FAILURE() << path << ": " << error << " " << image.width << "x" << image.height;
            return {};
        }
        std::vector<std::uint32_t> pixels;
        for (std::size_t at = 0; at + 2 < image.rgb.size(); at += 3) {
            pixels.push_back(static_cast<std::uint32_t>(image.rgb[at]) << 16 |
                             image.rgb[at + 1] << 8 | image.rgb[at + 2]);
        }
        return pixels;
    }
    // Pixels that differ from the screen as the viewer must show it, the cursor's corner aside
    // (the first pass shows the arrow at 0,0).
    int Differences(const std::vector<std::uint32_t>& picture) {
        int differences = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                std::size_t at = static_cast<std::size_t>(y) * kWidth + x;
                if ((x >= 32 || y >= 32) && picture[at] != Shown(screen_[at])) {
                    ++differences;
                }
            }
        }
        return differences;
    }

    std::string folder_;
    farvane::gdi::testing::XvfbServer server_;
    std::unique_ptr<scantest::XRoot> root_;
    std::vector<std::uint32_t> screen_;
    std::unique_ptr<ProgramRun> host_;
    std::string fingerprint_;
};

TEST_F(RemoteSessionTest, TheViewerShowsTheDisplayAndItsChanges) {
    int port = StartHost();
    ASSERT_NE(port, 0);
    std::string output;
    std::vector<std::string> arguments = ViewerArguments(port);
    arguments.insert(arguments.end(), {"--png", folder_ + "/first.png", "--passes", "1"});
    ASSERT_EQ(RunProgram(FVVIEW_PATH, arguments, &output), 0) << output << host_->Output();
    std::vector<std::uint32_t> picture = ReadPicture(folder_ + "/first.png");
    ASSERT_FALSE(picture.empty());
    EXPECT_EQ(Differences(picture), 0);

    // A second viewer, while the display changes under it.
    arguments = ViewerArguments(port);
    arguments.insert(arguments.end(), {"--png", folder_ + "/changed.png", "--seconds", "2.5"});
    ProgramRun viewer(FVVIEW_PATH, arguments);
    std::this_thread::sleep_for(1200ms);
    Fill(101, 50, 37, 21, 0xFFFF00);
    Fill(0, kHeight - 8, kWidth, 8, 0x800080);
    ASSERT_EQ(viewer.Wait(20s), 0) << viewer.Output();
    picture = ReadPicture(folder_ + "/changed.png");
    ASSERT_FALSE(picture.empty());
    EXPECT_EQ(Differences(picture), 0);
    EXPECT_TRUE(host_->WaitForOutput("admitted; ended: the viewer said bye", 5s))
        << host_->Output();
}

TEST_F(RemoteSessionTest, AWrongPasswordIsRefusedAndTheNextAttemptDelayed) {
    int port = StartHost();
    ASSERT_NE(port, 0);
    std::string output;
    std::vector<std::string> arguments = ViewerArguments(port, "wrong");
    arguments.insert(arguments.end(), {"--passes", "1"});
    EXPECT_EQ(RunProgram(FVVIEW_PATH, arguments, &output), kExitRefused);
    EXPECT_NE(output.find("the host refused the password"), std::string::npos) << output;
    auto asked = std::chrono::steady_clock::now();
    arguments = ViewerArguments(port);
    arguments.insert(arguments.end(), {"--passes", "1"});
    EXPECT_EQ(RunProgram(FVVIEW_PATH, arguments, &output), 0) << output;
    EXPECT_GE(std::chrono::steady_clock::now() - asked, 800ms);
    const std::string log = host_->Output();
    EXPECT_NE(log.find("connection from 127.0.0.1: refused: wrong password"), std::string::npos)
        << log;
    EXPECT_EQ(log.find("sesame"), std::string::npos);
    EXPECT_EQ(log.find("barley"), std::string::npos);
}

TEST_F(RemoteSessionTest, AChangedHostKeyIsRefusedNamingBothKeys) {
    int port = StartHost();
    ASSERT_NE(port, 0);
    const std::string pinned = "SHA256:" + std::string(64, '0');
    std::ofstream(folder_ + "/viewer/known_hosts") << "127.0.0.1:" << port << " " << pinned << "\n";
    std::string output;
    std::vector<std::string> arguments = ViewerArguments(port);
    arguments.insert(arguments.end(), {"--passes", "1"});
    EXPECT_EQ(RunProgram(FVVIEW_PATH, arguments, &output), kExitRefused);
    EXPECT_NE(output.find("has changed"), std::string::npos) << output;
    EXPECT_NE(output.find(pinned), std::string::npos) << output;
    EXPECT_NE(output.find(fingerprint_), std::string::npos) << output;
    // The host never got as far as an admission.
    EXPECT_EQ(host_->Output().find("admitted"), std::string::npos);
}

TEST_F(RemoteSessionTest, KillingTheViewerReturnsTheHostToWaiting) {
    int port = StartHost();
    ASSERT_NE(port, 0);
    std::vector<std::string> arguments = ViewerArguments(port);
    arguments.insert(arguments.end(), {"--seconds", "30"});
    {
        ProgramRun viewer(FVVIEW_PATH, arguments);
        std::this_thread::sleep_for(1500ms);
        ASSERT_TRUE(viewer.Running()) << viewer.Output();
        viewer.Signal(SIGKILL);
        viewer.Wait(5s);
    }
    EXPECT_TRUE(host_->WaitForOutput("admitted; ended:", 10s)) << host_->Output();
    std::string output;
    arguments = ViewerArguments(port);
    arguments.insert(arguments.end(), {"--passes", "1", "--png", folder_ + "/again.png"});
    EXPECT_EQ(RunProgram(FVVIEW_PATH, arguments, &output), 0) << output << host_->Output();
    EXPECT_EQ(Differences(ReadPicture(folder_ + "/again.png")), 0);
    EXPECT_TRUE(host_->Running());
    host_->Signal(SIGTERM);
    EXPECT_EQ(host_->Wait(15s), 0) << host_->Output();
}

// An xterm on the host's display that writes the first line typed into it to a file.
class TypingTarget {
public:
    TypingTarget(const std::string& display, const std::string& file)
        : xterm_("/usr/bin/xterm", {"-display", display, "-geometry", "40x6+0+0", "-e", "sh", "-c",
                                    "read line; printf '%s' \"$line\" > " + file}) {}
    // Waits until the window is on the screen.
    bool Shown(const std::string& display) {
        std::string output;
        return RunProgram("/usr/bin/xdotool",
                          {"search", "--sync", "--onlyvisible", "--class", "XTerm"}, &output, 10s,
                          {{"DISPLAY", display}}) == 0;
    }

private:
    ProgramRun xterm_;
};

TEST_F(RemoteSessionTest, KeysTypedByTheViewerReachAnXtermUnlessTheHostIsViewOnly) {
    if (!fs::exists("/usr/bin/xterm") || !fs::exists("/usr/bin/xdotool")) {
        GTEST_SKIP() << "xterm and xdotool are needed";
    }
    for (bool viewOnly : {false, true}) {
        const std::string typed = folder_ + (viewOnly ? "/ignored.txt" : "/typed.txt");
        TypingTarget xterm(server_.display(), typed);
        ASSERT_TRUE(xterm.Shown(server_.display()));
        int port = StartHost(viewOnly ? std::vector<std::string>{"--view-only"}
                                      : std::vector<std::string>{});
        ASSERT_NE(port, 0);
        std::vector<std::string> arguments = ViewerArguments(port);
        arguments.insert(arguments.end(),
                         {"--click", "40,30", "--type", "Hello, FV!\\n", "--seconds", "2"});
        std::string output;
        ASSERT_EQ(RunProgram(FVVIEW_PATH, arguments, &output), 0) << output;
        if (viewOnly) {
            std::this_thread::sleep_for(500ms);
            EXPECT_FALSE(fs::exists(typed));
        } else {
            auto until = std::chrono::steady_clock::now() + 5s;
            while (!fs::exists(typed) && std::chrono::steady_clock::now() < until) {
                std::this_thread::sleep_for(20ms);
            }
            std::ifstream file(typed);
            std::string line((std::istreambuf_iterator<char>(file)), {});
            EXPECT_EQ(line, "Hello, FV!");
        }
        host_->Signal(SIGTERM);
        EXPECT_EQ(host_->Wait(15s), 0) << host_->Output();
    }
}

TEST_F(RemoteSessionTest, ASlowViewerEndsWithTheRightPicture) {
    int port = StartHost();
    ASSERT_NE(port, 0);
    std::vector<std::string> arguments = ViewerArguments(port);
    arguments.insert(arguments.end(), {"--read-rate", "150000", "--seconds", "16", "--png",
                                       folder_ + "/slow.png", "--stats"});
    ProgramRun viewer(FVVIEW_PATH, arguments);
    // Noise that nothing compresses, drawn anew for two seconds: far more than the link
    // carries meanwhile, so the host has to wait for the viewer.
    std::uint32_t seed = 12345;
    std::vector<unsigned> noise(static_cast<std::size_t>(kWidth) * kHeight);
    auto until = std::chrono::steady_clock::now() + 2s;
    while (std::chrono::steady_clock::now() < until) {
        for (unsigned& pixel : noise) {
            seed = seed * 1664525u + 1013904223u;
            pixel = seed >> 8;
        }
        root_->Draw(0, 0, kWidth, kHeight, noise.data());
        std::this_thread::sleep_for(100ms);
    }
    for (std::size_t at = 0; at < noise.size(); ++at) {
        screen_[at] = noise[at];
    }
    ASSERT_EQ(viewer.Wait(30s), 0) << viewer.Output();
    std::vector<std::uint32_t> picture = ReadPicture(folder_ + "/slow.png");
    ASSERT_FALSE(picture.empty());
    EXPECT_EQ(Differences(picture), 0) << viewer.Output();
    std::cout << viewer.Output();
}

TEST_F(RemoteSessionTest, AStoredPasswordIsAHashThatAdmits) {
    std::ofstream(folder_ + "/typed-password") << "stored secret\n";
    ProgramRun setting(FVHOST_PATH, {"--set-password"}, HostEnvironment(),
                       folder_ + "/typed-password");
    ASSERT_EQ(setting.Wait(30s), 0) << setting.Output();
    const std::string options = folder_ + "/host/host.ini";
    std::ifstream file(options);
    std::string text((std::istreambuf_iterator<char>(file)), {});
    EXPECT_NE(text.find("PasswordHash=$argon2id$"), std::string::npos) << text;
    EXPECT_EQ(text.find("stored secret"), std::string::npos);
    EXPECT_EQ(fs::status(options).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    host_ =
        std::make_unique<ProgramRun>(FVHOST_PATH,
                                     std::vector<std::string>{"--display", server_.display(),
                                                              "--listen", "127.0.0.1:0", "--once"},
                                     HostEnvironment());
    ASSERT_TRUE(host_->WaitForOutput("listening on 127.0.0.1:", 10s)) << host_->Output();
    std::string key;
    const int port = PortOf(host_->Output(), &key);
    ASSERT_NE(port, 0);
    std::ofstream(folder_ + "/stored") << "stored secret\n";
    std::string output;
    std::vector<std::string> arguments = ViewerArguments(port, "stored");
    arguments.insert(arguments.end(), {"--passes", "1"});
    EXPECT_EQ(RunProgram(FVVIEW_PATH, arguments, &output), 0) << output;
    // --once: the host ends after its first session.
    EXPECT_EQ(host_->Wait(15s), 0) << host_->Output();
}

// A gateway (fvgate on a gateway file whose ports the system chooses) between a host that calls
// it and viewers that name that host.
class GatewaySessionTest : public RemoteSessionTest {
protected:
    void TearDown() override {
        gateway_.reset();
        RemoteSessionTest::TearDown();
    }

    // Starts fvgate, its relayed bytes tapped into the test folder; false on failure.
    bool StartGateway() {
        const std::string file = folder_ + "/relay.gwf";
        std::ofstream(file) << "[Hosts]\nPort=0\n[Viewers]\nPort=0\n";
        gateway_ = std::make_unique<ProgramRun>(
            FVGATE_PATH, std::vector<std::string>{file},
            std::map<std::string, std::string>{{"FARVANE_UI", "headless"},
                                               {"FARVANE_RUNTIME_DIR", folder_},
                                               {"FARVANE_WINDIR", folder_},
                                               {"FARVANE_TEST_GATEWAY_TAP", folder_ + "/tap"}});
        if (!gateway_->WaitForOutput("viewers connect at 127.0.0.1:", 10s)) {
            ADD_FAILURE() << gateway_->Output();
            return false;
        }
        const std::string log = gateway_->Output();
        hostPort_ = std::atoi(log.c_str() + log.find("register at 127.0.0.1:") + 22);
        viewerPort_ = std::atoi(log.c_str() + log.find("connect at 127.0.0.1:") + 21);
        return hostPort_ != 0 && viewerPort_ != 0;
    }
    // Starts fvhost registering at the gateway as "desk"; false when it did not register.
    bool StartGatewayHost() {
        host_ = std::make_unique<ProgramRun>(
            FVHOST_PATH,
            std::vector<std::string>{"--display", server_.display(), "--call",
                                     "127.0.0.1:" + std::to_string(hostPort_), "--gateway-name",
                                     "desk", "--password-file", folder_ + "/password", "--once",
                                     // where it waits once its session ended, until it ends
                                     "--listen", "127.0.0.1:0"},
            HostEnvironment());
        if (!host_->WaitForOutput("registered as desk at the gateway", 10s)) {
            ADD_FAILURE() << host_->Output() << gateway_->Output();
            return false;
        }
        return true;
    }
    std::vector<std::string> GatewayViewerArguments(const std::vector<std::string>& extra) {
        std::vector<std::string> arguments = ViewerArguments(viewerPort_);
        arguments.insert(arguments.end(), {"--gateway-name", "desk"});
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return arguments;
    }
    std::string Tapped(const std::string& direction) {
        std::ifstream file(folder_ + "/tap." + direction, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(file)), {});
    }
    // How many application data records the bytes hold when they are whole TLS records from
    // start to end; -1 when they are not.
    static int TlsApplicationRecords(const std::string& bytes) {
        int records = 0;
        std::size_t at = 0;
        while (at + 5 <= bytes.size()) {
            const auto type = static_cast<unsigned char>(bytes[at]);
            const auto major = static_cast<unsigned char>(bytes[at + 1]);
            const std::size_t length = static_cast<unsigned char>(bytes[at + 3]) << 8 |
                                       static_cast<unsigned char>(bytes[at + 4]);
            if (type < 20 || type > 23 || major != 3 || length > 16384 + 256) {
                return -1;
            }
            records += type == 23;
            at += 5 + length;
        }
        return at == bytes.size() ? records : -1;
    }

    std::unique_ptr<ProgramRun> gateway_;
    int hostPort_ = 0;
    int viewerPort_ = 0;
};

TEST_F(GatewaySessionTest, TheViewerSeesTheHostThroughTheGatewayWhichRelaysOnlyTls) {
    ASSERT_TRUE(StartGateway());
    ASSERT_TRUE(StartGatewayHost());
    std::string output;
    ASSERT_EQ(
        RunProgram(FVVIEW_PATH,
                   GatewayViewerArguments({"--png", folder_ + "/gateway.png", "--passes", "1"}),
                   &output),
        0)
        << output << host_->Output() << gateway_->Output();
    std::vector<std::uint32_t> picture = ReadPicture(folder_ + "/gateway.png");
    ASSERT_FALSE(picture.empty());
    EXPECT_EQ(Differences(picture), 0);
    // The host key is pinned under the host's name at this gateway.
    std::ifstream knownHosts(folder_ + "/viewer/known_hosts");
    std::string pinned((std::istreambuf_iterator<char>(knownHosts)), {});
    EXPECT_NE(pinned.find("desk@127.0.0.1:" + std::to_string(viewerPort_) + " SHA256:"),
              std::string::npos)
        << pinned;

    // The pair's end is the gateway's session end: it closes by itself.
    EXPECT_EQ(gateway_->Wait(10s), 0) << gateway_->Output();
    EXPECT_EQ(host_->Wait(15s), 0) << host_->Output();
    EXPECT_NE(host_->Output().find("paired through the gateway 127.0.0.1:" +
                                   std::to_string(hostPort_) + "; admitted"),
              std::string::npos)
        << host_->Output();
    // What passed the gateway: TLS records from the first byte to the last, the picture in
    // application data, and no password in sight.
    const std::string toViewer = Tapped("to-viewer");
    const std::string toHost = Tapped("to-host");
    EXPECT_GT(TlsApplicationRecords(toViewer), 2) << toViewer.size();
    EXPECT_GT(TlsApplicationRecords(toHost), 1) << toHost.size();
    EXPECT_EQ(toHost.find("open sesame"), std::string::npos);
    EXPECT_EQ(gateway_->Output().find("sesame"), std::string::npos);
}

TEST_F(GatewaySessionTest, KeysTypedThroughTheGatewayReachAnXtermAndNeverShowInTheRelay) {
    if (!fs::exists("/usr/bin/xterm") || !fs::exists("/usr/bin/xdotool")) {
        GTEST_SKIP() << "xterm and xdotool are needed";
    }
    const std::string typed = folder_ + "/typed.txt";
    TypingTarget xterm(server_.display(), typed);
    ASSERT_TRUE(xterm.Shown(server_.display()));
    ASSERT_TRUE(StartGateway());
    ASSERT_TRUE(StartGatewayHost());
    std::string output;
    ASSERT_EQ(RunProgram(FVVIEW_PATH,
                         GatewayViewerArguments(
                             {"--click", "40,30", "--type", "relayed words\\n", "--seconds", "2"}),
                         &output),
              0)
        << output;
    auto until = std::chrono::steady_clock::now() + 5s;
    while (!fs::exists(typed) && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(20ms);
    }
    std::ifstream file(typed);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(file)), {}), "relayed words");
    EXPECT_EQ(gateway_->Wait(10s), 0) << gateway_->Output();
    EXPECT_EQ(Tapped("to-host").find("relayed"), std::string::npos);
    EXPECT_EQ(Tapped("to-viewer").find("relayed"), std::string::npos);
}

TEST_F(GatewaySessionTest, ASecondViewerIsAnsweredBusyWhileTheFirstKeepsItsSession) {
    ASSERT_TRUE(StartGateway());
    ASSERT_TRUE(StartGatewayHost());
    ProgramRun first(FVVIEW_PATH,
                     GatewayViewerArguments({"--png", folder_ + "/first.png", "--seconds", "4"}));
    ASSERT_TRUE(gateway_->WaitForOutput("paired with host desk", 10s)) << gateway_->Output();
    std::string output;
    EXPECT_EQ(RunProgram(FVVIEW_PATH, GatewayViewerArguments({"--passes", "1"}), &output), 1);
    EXPECT_NE(output.find("the gateway is busy"), std::string::npos) << output;
    ASSERT_EQ(first.Wait(20s), 0) << first.Output();
    EXPECT_EQ(Differences(ReadPicture(folder_ + "/first.png")), 0);
    EXPECT_EQ(gateway_->Wait(10s), 0) << gateway_->Output();
}

TEST_F(GatewaySessionTest, AKilledHostEndsTheRelayedSession) {
    ASSERT_TRUE(StartGateway());
    ASSERT_TRUE(StartGatewayHost());
    ProgramRun viewer(FVVIEW_PATH, GatewayViewerArguments({"--seconds", "30"}));
    ASSERT_TRUE(gateway_->WaitForOutput("paired with host desk", 10s)) << gateway_->Output();
    std::this_thread::sleep_for(1500ms);
    host_->Signal(SIGKILL);
    host_->Wait(5s);
    // The viewer learns at once that the host is gone, and the gateway's session is over.
    EXPECT_EQ(viewer.Wait(10s), 1) << viewer.Output();
    EXPECT_NE(viewer.Output().find("the host ended the session"), std::string::npos)
        << viewer.Output();
    EXPECT_EQ(gateway_->Wait(10s), 0) << gateway_->Output();
    EXPECT_NE(gateway_->Output().find("the relay of host desk ended"), std::string::npos);
}

TEST(FvhostTest, RefusesToRunWithoutADisplayOrWithABadAddress) {
    std::string output;
    EXPECT_EQ(
        RunProgram(FVHOST_PATH, {"--password-file", "/dev/null"}, &output, 10s, {{"DISPLAY", ""}}),
        1);
    EXPECT_NE(output.find("no X display"), std::string::npos) << output;
    EXPECT_EQ(RunProgram(FVHOST_PATH, {"--demo", "--listen", "localhost"}, &output, 10s), 2);
    EXPECT_NE(output.find("bad address"), std::string::npos) << output;
    EXPECT_EQ(RunProgram(FVVIEW_PATH, {"127.0.0.1:0"}, &output, 10s), 2);
}

}  // namespace
