// The session window as a real window of the windowing model: the session library makes it
// on the UI thread, the host pilot changes it from the dispatch thread by posting, and the
// UI thread carries the changes out when it pumps its messages. Runs on the headless backend.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "host_harness.h"
#include "library_copy.h"
#include "platform/ui/headless_backend.h"
#include "platform/ui/ui.h"
#include "platform/ui/ui_state.h"
#include "suite/fvses32/session_window.h"

namespace farvane::hostpilot::testing {
namespace {

constexpr std::int32_t kStart = ScriptedStage::kStepStart;

// What reached the window's procedure, in order: one entry per ShowWindow command and -1 for
// each system menu change. Filled on the UI thread only.
std::vector<int> received;
ui::WNDPROC sessionProc = nullptr;

LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_FV_SESSION_SHOW) {
        received.push_back(static_cast<int>(wParam));
    } else if (message == WM_FV_SESSION_STRIP_MENU) {
        received.push_back(-1);
    }
    return ui::CallWindowProcA(sessionProc, window, message, wParam, lParam);
}

class SessionWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ui::UseHeadlessBackend();
        received.clear();
    }
    void TearDown() override { ui::UseHeadlessBackend(); }

    // Builds a host session that makes its own window, with the host pilot's real window
    // service, and listens to what the window receives.
    std::unique_ptr<HostHarness> MakeHost(HostSessionConfig config = {}) {
        auto h = std::make_unique<HostHarness>(config, 1000, HostHarness::kSessionMakesWindow);
        h->UseRealWindow();
        window = h->Session()->m_hWnd;
        if (window != nullptr) {
            sessionProc = reinterpret_cast<ui::WNDPROC>(ui::SetWindowLongPtrA(
                window, ui::GWL_WNDPROC, reinterpret_cast<ui::LONG_PTR>(&RecordingProc)));
        }
        return h;
    }

    std::vector<UINT> SystemMenuIds() {
        ui::HMENU menu = ui::GetSystemMenu(window, FALSE);
        std::vector<UINT> ids;
        for (int i = 0; i < ui::GetMenuItemCount(menu); ++i) {
            ids.push_back(ui::GetMenuItemID(menu, i));
        }
        return ids;
    }
    bool SeparatorAt(int position) {
        ui::HMENU menu = ui::GetSystemMenu(window, FALSE);
        return (ui::GetMenuState(menu, position, ui::MF_BYPOSITION) & ui::MF_SEPARATOR) != 0;
    }
    int MenuBarDraws() { return ui::FindWindowObject(window)->menuBarDraws; }

    HWND window = nullptr;
};

TEST_F(SessionWindowTest, TheSessionMakesAHiddenWindowOfItsOwnClassAndDestroysIt) {
    auto h = MakeHost();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(ui::IsWindow(window));
    char name[64] = {};
    ui::GetClassNameA(window, name, sizeof name);
    EXPECT_STREQ(name, FV_SESSION_WINDOW_CLASS);
    EXPECT_FALSE(ui::IsWindowVisible(window));
    h.reset();
    EXPECT_FALSE(ui::IsWindow(window));
}

TEST_F(SessionWindowTest, StartUpStripsTheSystemMenuAndWaitingHidesTheWindow) {
    auto h = MakeHost();
    ASSERT_NE(window, nullptr);
    ui::ShowWindow(window, ui::SW_SHOW);
    h->host->Start(0);
    ASSERT_TRUE(HostHarness::Started(*h->connect, 1));
    // Nothing happens to the window until the UI thread pumps: the host pilot only posted.
    EXPECT_TRUE(ui::IsWindowVisible(window));
    EXPECT_EQ(MenuBarDraws(), 0);
    ui::PumpPendingMessages();

    EXPECT_EQ(received, (std::vector<int>{-1, SW_HIDE}));
    EXPECT_FALSE(ui::IsWindowVisible(window));
    EXPECT_EQ(SystemMenuIds(), (std::vector<UINT>{0, ui::SC_MOVE, ui::SC_SIZE, 0}));
    EXPECT_TRUE(SeparatorAt(0));
    EXPECT_EQ(MenuBarDraws(), 1);
}

TEST_F(SessionWindowTest, AStepComingBackShowsTheWindow) {
    auto h = MakeHost();
    ASSERT_NE(window, nullptr);
    h->connect->Script(kStart, {{0, 0, true}});
    h->admit->SetDefault(kStart, {0, 0, false});
    h->host->Start(0);
    ASSERT_TRUE(HostHarness::Started(*h->admit, 1));
    ui::PumpPendingMessages();
    EXPECT_EQ(received, (std::vector<int>{-1, SW_HIDE, SW_SHOW}));
    EXPECT_TRUE(ui::IsWindowVisible(window));
    ui::WINDOWPLACEMENT placement;
    placement.length = sizeof placement;
    ASSERT_TRUE(ui::GetWindowPlacement(window, &placement));
    EXPECT_NE(placement.showCmd, static_cast<UINT>(ui::SW_HIDE));
}

// A whole session: every step that ends shows the window, hanging up and waiting again hides
// it; the system menu is changed once, at start-up.
TEST_F(SessionWindowTest, AHangUpShowsTheWindowAndTheNextWaitHidesIt) {
    auto h = MakeHost();
    ASSERT_NE(window, nullptr);
    h->connect->Script(kStart, {{0, 0, true}});
    h->admit->Script(kStart, {{0, 0, true}});
    h->hostSession->Script(kStart, {{0, 0, true}});
    h->host->Start(0);
    ASSERT_TRUE(HostHarness::Started(*h->connect, 2));
    ui::PumpPendingMessages();
    EXPECT_EQ(received,
              (std::vector<int>{-1, SW_HIDE, SW_SHOW, SW_SHOW, SW_SHOW, SW_SHOW, SW_HIDE}));
    EXPECT_FALSE(ui::IsWindowVisible(window));
    EXPECT_EQ(MenuBarDraws(), 1);
    EXPECT_EQ(SystemMenuIds(), (std::vector<UINT>{0, ui::SC_MOVE, ui::SC_SIZE, 0}));
}

TEST_F(SessionWindowTest, WithoutAUserInterfaceTheWindowIsLeftAlone) {
    LibraryCopy copy("[Options]\n10=1\n");
    HostSessionConfig config;
    config.pilotLibraryPath = copy.Path();
    config.ntService = 1;
    auto h = MakeHost(config);
    ASSERT_NE(window, nullptr);
    ui::ShowWindow(window, ui::SW_SHOW);
    std::vector<UINT> before = SystemMenuIds();
    h->connect->Script(kStart, {{0, 0, true}});
    h->admit->SetDefault(kStart, {0, 0, false});
    h->host->Start(0);
    ASSERT_TRUE(HostHarness::Started(*h->admit, 1));
    ui::PumpPendingMessages();
    EXPECT_TRUE(received.empty());
    EXPECT_TRUE(ui::IsWindowVisible(window));
    EXPECT_EQ(SystemMenuIds(), before);
    EXPECT_EQ(MenuBarDraws(), 0);
}

// A session ended on another thread cannot destroy the window there; it asks the UI thread.
TEST_F(SessionWindowTest, ASessionEndedOnAnotherThreadHasItsWindowDestroyedByTheUiThread) {
    auto h = MakeHost();
    ASSERT_NE(window, nullptr);
    std::thread([&] { h.reset(); }).join();
    EXPECT_TRUE(ui::IsWindow(window));
    ui::PumpPendingMessages();
    EXPECT_FALSE(ui::IsWindow(window));
}

}  // namespace
}  // namespace farvane::hostpilot::testing
