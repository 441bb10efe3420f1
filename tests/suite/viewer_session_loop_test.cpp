// A whole viewer session in one process: a host (the real host pilot, scanner and network
// stages) on a memory display whose content moves, and fvrem32's manager calling it. The
// session's thread decodes while this thread (the UI thread) paints and sends input; closing
// the viewer window signals the end event. Runs under ThreadSanitizer in CI.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "demo_display.h"
#include "platform/gdi/display_registry.h"
#include "platform/kernel/synch.h"
#include "platform/ui/ui.h"
#include "session/session_end_event.h"
#include "session/svc_mgr.h"
#include "suite/fvses32/admission.h"
#include "suite/fvses32/net_host.h"
#include "suite/fvses32/viewer_window.h"
#include "videoscan/video_scan.h"

namespace {

namespace fs = std::filesystem;
using namespace farvane::ui;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Stands in for XTest: what the viewer's input became on the host.
class InputRecord final : public IInputInjector {
public:
    void Key(std::uint32_t keysym, bool down) override {
        std::lock_guard guard(lock_);
        keys_.push_back({keysym, down});
    }
    void Pointer(const ViewerPointer& pointer) override {
        std::lock_guard guard(lock_);
        pointers_.push_back(pointer);
    }
    void ReleaseAll() override {}
    std::vector<std::pair<std::uint32_t, bool>> Keys() {
        std::lock_guard guard(lock_);
        return keys_;
    }
    std::vector<ViewerPointer> Pointers() {
        std::lock_guard guard(lock_);
        return pointers_;
    }

private:
    std::mutex lock_;
    std::vector<std::pair<std::uint32_t, bool>> keys_;
    std::vector<ViewerPointer> pointers_;
};

class ViewerSessionLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/viewer-loop-XXXXXX";
        folder_ = mkdtemp(pattern);
        setenv("FARVANE_RUNTIME_DIR", (folder_ + "/runtime").c_str(), 1);
        setenv("FARVANE_STATE_DIR", folder_.c_str(), 1);
        setenv("FARVANE_UI", "headless", 1);
        PumpPendingMessages();  // this thread is the UI thread, with its backend
        ASSERT_TRUE(demo_.ok());
        ASSERT_TRUE(farvane::gdi::OpenDisplay(fvhost::DemoDisplay::kDesktopName));
        std::ofstream(folder_ + "/password") << "loop password\n";
        NetHostConfig config;
        config.host.pilotLibraryPath = FVHPILOT_LIBRARY;
        config.link.listen = farvane::net::Endpoint{"127.0.0.1", 0};
        config.link.identityFolder = folder_;
        config.link.log = [](const std::string&) {};
        ASSERT_TRUE(HashPassword("loop password", &config.admission.passwordHash));
        config.session.desktopName = fvhost::DemoDisplay::kDesktopName;
        config.session.input = &input_;
        config.session.scanner.create = [](CFVSession* session, const char* desktop) {
            return reinterpret_cast<std::uintptr_t>(new CVideoScan(session, desktop));
        };
        config.session.scanner.destroy = [](std::uintptr_t scanner) {
            delete reinterpret_cast<CVideoScan*>(scanner);
        };
        config.session.onSessionEnd = [this] { ++sessionsEnded_; };
        std::string error;
        host_ = CNetHost::Create(std::move(config), &error);
        ASSERT_TRUE(host_) << error;
        host_->Start(0);
    }
    void TearDown() override {
        if (host_) {
            host_->Quit();
            host_->WaitOver(10000);
            host_.reset();
        }
        fs::remove_all(folder_);
    }

    // Runs the UI thread until `done`, at most `limit`.
    template <typename Done>
    bool PumpUntil(Done done, std::chrono::milliseconds limit) {
        for (auto until = Clock::now() + limit; Clock::now() < until;) {
            PumpPendingMessages();
            if (done()) {
                return true;
            }
            std::this_thread::sleep_for(5ms);
        }
        return false;
    }

    std::string folder_;
    fvhost::DemoDisplay demo_;
    InputRecord input_;
    std::atomic<int> sessionsEnded_{0};
    std::unique_ptr<CNetHost> host_;
};

TEST_F(ViewerSessionLoopTest, TheWindowShowsTheHostSendsInputAndItsCloseEndsTheSession) {
    const std::string file = folder_ + "/loop.chf";
    std::ofstream(file) << "[Host]\nAddress=127.0.0.1\nPort=" << host_->ListeningPort()
                        << "\nFingerprint=" << host_->Fingerprint()
                        << "\nPasswordFile=password\n[View]\nScale=1:1\n";
    HANDLE end = CreateEventA(nullptr, TRUE, FALSE, SessionEndEventName(file).c_str());
    ASSERT_NE(end, nullptr);
    auto manager = std::make_unique<CRemoteSvcMgr>(file.c_str(), 0, 0, nullptr);
    HWND window = nullptr;
    ASSERT_TRUE(
        PumpUntil([&] { return (window = FindLocalWindow("FvViewerWindow", nullptr)); }, 15s));
    // The picture arrives and sizes the window 1:1 while the content keeps moving; the window
    // repaints and switches its scale meanwhile.
    farvane::ui::RECT client{};
    EXPECT_TRUE(PumpUntil(
        [&] {
            GetClientRect(window, &client);
            return client.right == 640 && client.bottom == 480;
        },
        15s));
    for (int round = 0; round < 20; ++round) {
        SendMessageA(window, WM_COMMAND, farvane::viewer::kScaleToFitCommand, 0);
        InvalidateRect(window, nullptr, FALSE);
        PumpUntil([] { return false; }, 20ms);
    }
    // Keys and the mouse, as the window gets them from the person.
    PostMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(window, WM_CHAR, '\r', 0);
    PostMessageA(window, WM_KEYUP, VK_RETURN, 0);
    PostMessageA(window, WM_KEYDOWN, 'Q', 0);
    PostMessageA(window, WM_CHAR, 'q', 0);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 50));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(100, 50));
    const std::vector<std::pair<std::uint32_t, bool>> expected = {
        {0xFF0D, true}, {0xFF0D, false}, {'q', true}, {'q', false}};
    EXPECT_TRUE(PumpUntil([&] { return input_.Keys() == expected; }, 10s));
    EXPECT_TRUE(PumpUntil([&] { return input_.Pointers().size() >= 2; }, 10s));
    const std::vector<ViewerPointer> pointers = input_.Pointers();
    ASSERT_GE(pointers.size(), 2u);
    EXPECT_EQ(pointers[pointers.size() - 2].buttons, 1);
    EXPECT_EQ(pointers.back().buttons, 0);
    EXPECT_EQ(WaitForSingleObject(end, 0), static_cast<DWORD>(WAIT_TIMEOUT));

    // The person closes the window: the session is over.
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return WaitForSingleObject(end, 0) == WAIT_OBJECT_0; }, 10s));
    EXPECT_FALSE(IsWindow(window));
    manager.reset();
    EXPECT_TRUE(PumpUntil([&] { return sessionsEnded_.load() == 1; }, 10s));
    CloseHandle(end);
}

}  // namespace
