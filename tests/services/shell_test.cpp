// The shell in this process on the headless backend: the main frame and its bars, the
// minimised start, the document command, About, a second document during a session, and the
// manager handed over between the threads that may destroy it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/kernel/synch.h"
#include "platform/ui/headless_backend.h"
#include "platform/ui/ui.h"
#include "services/shell/main_frame.h"
#include "services/shell/service_app.h"
#include "session/session_end_event.h"
#include "suite/fvcomm32/resource_library.h"
#include "tests/services/program_runner.h"

namespace {

using namespace farvane::ui;
using namespace std::chrono_literals;

std::atomic<int> g_managersAlive{0};
std::atomic<int> g_managersMade{0};

class CountingManager : public CFVSvcMgr {
public:
    CountingManager() {
        ++g_managersAlive;
        ++g_managersMade;
    }
    ~CountingManager() override { --g_managersAlive; }
};

CFVSvcMgr* MakeCountingManager(const char*, const ShellSwitches&) {
    return new CountingManager;
}

const ServiceModule kTestModule{
    .programName = "fvtest",
    .semaphoreName = "FVTEST_SEMAPHORE",
    .instanceCount = 2,
    .startSteps = {StartStep::ResourceLibrary, StartStep::SettingsKey, StartStep::InstanceSemaphore,
                   StartStep::ProfileSettings, StartStep::HelpFile, StartStep::DocumentTemplate,
                   StartStep::Switches, StartStep::Document, StartStep::TimerInit,
                   StartStep::DropFiles},
    .ownResources = nullptr,
    .templateId = IDR_REMOTE_TEMPLATE,
    .acceptedSwitches = "LWX",
    .scanSwitchesOnEmptyLine = false,
    .fallBackToNewDocument = true,
    .programExitCode = 1,
    .missingFileText = "Cannot find callhost file: %s",
    .creationErrorText = "Error creating CRemoteSvcMgr",
    .creationErrorCaption = "fvrem32",
    .contextHelpButton = true,
    .documentCommand = true,
    .unhandledExceptionText = nullptr,
    .createManager = MakeCountingManager,
};

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("FARVANE_RUNTIME_DIR", folder_.path().c_str(), 1);
        setenv("FARVANE_WINDIR", folder_.path().c_str(), 1);
        headless_ = &UseHeadlessBackend();
        g_managersAlive = 0;
        g_managersMade = 0;
    }
    void TearDown() override {
        for (HANDLE event : endEvents_) {
            CloseHandle(event);
        }
    }
    // Runs messages until the main window is gone or the time is up.
    static bool PumpUntilClosed(CServiceApp& app) {
        auto end = std::chrono::steady_clock::now() + 5s;
        while (app.MainWindow() && std::chrono::steady_clock::now() < end) {
            PumpPendingMessages();
            std::this_thread::sleep_for(2ms);
        }
        return app.MainWindow() == nullptr;
    }
    // Signals the session's end event and keeps it open for the rest of the test: an event
    // nobody holds goes away, and the program's worker may not have opened it yet.
    void EndSession(const std::string& path) {
        HANDLE event = CreateEventA(nullptr, TRUE, FALSE, SessionEndEventName(path).c_str());
        ASSERT_NE(event, nullptr);
        SetEvent(event);
        endEvents_.push_back(event);
    }
    std::vector<HANDLE> endEvents_;
    static bool Eventually(const std::function<bool()>& done) {
        auto end = std::chrono::steady_clock::now() + 5s;
        while (!done() && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(2ms);
        }
        return done();
    }

    farvane::services::testing::TempFolder folder_;
    HeadlessBackend* headless_ = nullptr;
};

TEST_F(ShellTest, IdleFrameIsShownWithItsBarsAndTheDocumentCommandDisabled) {
    CServiceApp app(kTestModule);
    ASSERT_TRUE(app.InitInstance("/W"));
    HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_FALSE(IsIconic(main));
    EXPECT_EQ(app.Manager(), nullptr);
    EXPECT_FALSE(app.CommandEnabled(ID_SESSION_DOCUMENT));
    EXPECT_NE(app.HelpPath().find("FARVANE.HLP>Main"), std::string::npos);
    EXPECT_EQ(app.SettingsKey(), "Farvane");

    HWND toolBar = GetDlgItem(main, AFX_IDW_TOOLBAR);
    std::vector<HWND> buttons = ToolBarButtons(toolBar);
    ASSERT_EQ(buttons.size(), 11u);
    EXPECT_EQ(GetDlgCtrlID(buttons[3]), 0);  // a separator
    EXPECT_EQ(GetDlgCtrlID(buttons[4]), static_cast<int>(ID_EDIT_CUT));
    EXPECT_EQ(GetDlgCtrlID(buttons[9]), static_cast<int>(ID_APP_ABOUT));
    EXPECT_EQ(GetDlgCtrlID(buttons[10]), static_cast<int>(ID_CONTEXT_HELP));
    RECT bar{};
    GetWindowRect(toolBar, &bar);
    EXPECT_GT(bar.right - bar.left, 400);  // laid out along the frame's top
    EXPECT_TRUE(IsWindowVisible(toolBar));
    HWND status = GetDlgItem(main, AFX_IDW_STATUS_BAR);
    EXPECT_EQ(StatusBarPaneCount(status), 4);
    EXPECT_EQ(StatusPaneText(status, 0), "Ready");

    // The toolbar's About button opens dialog 100 of the resource library.
    std::string caption;
    PushModalDialogHandler([&](HWND dialog) {
        char text[64] = {};
        GetWindowTextA(dialog, text, sizeof text);
        caption = text;
        EndDialog(dialog, IDOK);
    });
    SendMessageA(buttons[9], WM_LBUTTONDOWN, 0, 0);
    SendMessageA(buttons[9], WM_LBUTTONUP, 0, 0);
    PumpPendingMessages();
    if (caption.empty()) {
        app.OnCommand(ID_APP_ABOUT);  // the button's click path differs by backend
    }
    EXPECT_EQ(caption, "About Farvane");
    ClearModalDialogHandlers();

    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntilClosed(app));
    EXPECT_TRUE(app.HoldsInstanceUnit());
    app.ExitInstance(0);
    EXPECT_FALSE(app.HoldsInstanceUnit());
}

TEST_F(ShellTest, SessionStartsMinimisedAndASecondDocumentEndsIt) {
    std::string first = folder_.file("first.chf");
    std::string second = folder_.file("second.chf");
    CServiceApp app(kTestModule);
    ASSERT_TRUE(app.InitInstance(first));
    HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(IsIconic(main));
    EXPECT_NE(GetActiveWindow(), main);
    ASSERT_TRUE(Eventually([&] { return app.Manager() != nullptr; }));
    EXPECT_TRUE(app.CommandEnabled(ID_SESSION_DOCUMENT));
    EXPECT_EQ(app.RecentFiles(), std::vector<std::string>{first});

    // The new worker finds a manager: it makes none, destroys the running one and closes.
    ASSERT_TRUE(PostDroppedFiles(main, {second}));
    EXPECT_TRUE(PumpUntilClosed(app));
    EXPECT_EQ(g_managersMade.load(), 1);
    EXPECT_EQ(g_managersAlive.load(), 0);
    // The first worker still waits for its event; end it so it does not outlive the test.
    EndSession(first);
    EXPECT_TRUE(Eventually([&] { return app.RunningWorkers() == 0; }));
    app.ExitInstance(0);
}

TEST_F(ShellTest, RecentFilesKeepTheLastFour) {
    CServiceApp app(kTestModule);
    ASSERT_TRUE(app.InitInstance(""));
    std::vector<std::string> files;
    for (int i = 0; i < 6; ++i) {
        files.push_back(folder_.file("f" + std::to_string(i) + ".chf"));
        ASSERT_TRUE(app.OpenDocumentFile(files.back()));
        ASSERT_TRUE(Eventually([&] { return app.Manager() != nullptr; }));
        app.CloseDocument();
    }
    EXPECT_EQ(app.RecentFiles(),
              (std::vector<std::string>{files[5], files[4], files[3], files[2]}));
    for (const std::string& file : files) {
        EndSession(file);
    }
    EXPECT_TRUE(PumpUntilClosed(app));  // the first worker to end closes the frame
    EXPECT_TRUE(Eventually([&] { return app.RunningWorkers() == 0; }));
    app.ExitInstance(0);
}

TEST_F(ShellTest, TheManagerIsDestroyedOnceWhicheverThreadsRace) {
    CServiceApp app(kTestModule);
    for (int round = 0; round < 200; ++round) {
        ASSERT_TRUE(app.CreateSvcManager("x"));
        EXPECT_FALSE(app.CreateSvcManager("x"));  // one session at a time
        std::thread worker([&] { app.DestroySvcManager(); });
        app.DestroySvcManager();
        worker.join();
        ASSERT_EQ(g_managersAlive.load(), 0);
    }
}

TEST_F(ShellTest, AFolderIsRefusedByTheFrameworkAndTheRemoteFallsBack) {
    CServiceApp app(kTestModule);
    ASSERT_TRUE(app.InitInstance(folder_.path()));
    ASSERT_EQ(headless_->messageBoxes().size(), 1u);
    EXPECT_EQ(headless_->messageBoxes()[0].text, "Cannot open document: " + folder_.path());
    EXPECT_FALSE(IsIconic(app.MainWindow()));  // the empty document
    EXPECT_EQ(app.Manager(), nullptr);
    DestroyWindow(app.MainWindow());
    app.ExitInstance(0);
}

}  // namespace
