// The viewer managers in process, on the headless windowing backend (this test's thread is
// the UI thread): what a manager that cannot be made throws, what a destroyed manager leaves
// signalled, and a session that cannot start reporting and signalling its end.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <new>
#include <thread>

#include "platform/kernel/synch.h"
#include "platform/ui/window_api.h"
#include "session/session_end_event.h"
#include "session/svc_mgr.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

class ViewerManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/viewer-manager-XXXXXX";
        folder_ = mkdtemp(pattern);
        setenv("FARVANE_RUNTIME_DIR", (folder_ + "/runtime").c_str(), 1);
        setenv("FARVANE_STATE_DIR", folder_.c_str(), 1);
        setenv("FARVANE_UI", "headless", 1);
        // This thread is the UI thread and has its backend before any session thread starts,
        // as in a program.
        farvane::ui::PumpPendingMessages();
    }
    void TearDown() override {
        if (endEvent_) {
            CloseHandle(endEvent_);
        }
        fs::remove_all(folder_);
    }
    std::string Write(const std::string& name, const std::string& text) {
        std::string path = folder_ + "/" + name;
        std::ofstream(path) << text;
        return path;
    }
    // The end event of `path`, held by the test from here on.
    HANDLE EndEvent(const std::string& path) {
        endEvent_ = CreateEventA(nullptr, TRUE, FALSE, SessionEndEventName(path).c_str());
        return endEvent_;
    }
    // Runs the UI thread's messages (and the tasks posted to it) until the event is signalled.
    bool PumpUntilSignalled(HANDLE event, std::chrono::milliseconds limit) {
        for (auto until = Clock::now() + limit; Clock::now() < until;) {
            farvane::ui::PumpPendingMessages();
            if (WaitForSingleObject(event, 20) == WAIT_OBJECT_0) {
                return true;
            }
        }
        return false;
    }
    std::string folder_;
    HANDLE endEvent_ = nullptr;
};

TEST_F(ViewerManagerTest, AManagerThatCannotBeMadeThrowsTheMemoryException) {
    // No runtime folder can be made inside a file: the end event cannot be had.
    const std::string blocker = Write("not-a-folder", "");
    setenv("FARVANE_RUNTIME_DIR", (blocker + "/runtime").c_str(), 1);
    const std::string file = Write("host.chf", "[Host]\nAddress=127.0.0.1\nPort=1\n");
    EXPECT_THROW(CRemoteSvcMgr(file.c_str(), 0, 0, nullptr), std::bad_alloc);
    EXPECT_THROW(COnlineSvcMgr(file.c_str(), 0), std::bad_alloc);
}

TEST_F(ViewerManagerTest, ASessionThatCannotStartSaysSoAndSignalsItsEnd) {
    const std::string bad = Write("bad.chf", "[Host]\nPort=5899\n");
    HANDLE event = EndEvent(bad);
    ASSERT_NE(event, nullptr);
    auto manager = std::make_unique<CRemoteSvcMgr>(bad.c_str(), 0, 0, nullptr);
    EXPECT_TRUE(PumpUntilSignalled(event, 5s));
    manager.reset();

    // Nobody answers at the address: also an end, not a hang.
    const std::string unanswered = Write("nobody.chf", "[Host]\nAddress=127.0.0.1\nPort=1\n");
    CloseHandle(endEvent_);
    event = EndEvent(unanswered);
    manager = std::make_unique<CRemoteSvcMgr>(unanswered.c_str(), 0, 0, nullptr);
    EXPECT_TRUE(PumpUntilSignalled(event, 15s));
}

// Closing the document destroys a manager whose session still waits: the session stops at
// once and its end event stays unsignalled (the program ends the session itself).
TEST_F(ViewerManagerTest, ADestroyedManagerStopsItsSessionWithoutSignallingTheEnd) {
    const std::string file =
        Write("desk.osf", "[Listen]\nAddress=127.0.0.1\nPort=0\n[Host]\nPasswordFile=pw\n");
    HANDLE event = EndEvent(file);
    ASSERT_NE(event, nullptr);
    for (int round = 0; round < 3; ++round) {
        auto manager = std::make_unique<COnlineSvcMgr>(file.c_str(), 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(50 * round));
        farvane::ui::PumpPendingMessages();
        const auto started = Clock::now();
        manager.reset();
        EXPECT_LT(Clock::now() - started, 2s);
    }
    farvane::ui::PumpPendingMessages();
    EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT));

    // A session that had a failure to show when its document closed: the box it asked for
    // may still come, but the end stays the program's.
    const std::string bad = Write("bad.osf", "[Listen]\nPort=1\n");
    CloseHandle(endEvent_);
    event = EndEvent(bad);
    auto manager = std::make_unique<COnlineSvcMgr>(bad.c_str(), 0);
    std::this_thread::sleep_for(200ms);  // the session's thread posted its box
    manager.reset();
    for (int pump = 0; pump < 10; ++pump) {
        farvane::ui::PumpPendingMessages();
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

}  // namespace
