// Host set-up and tear-down through the real dispatch: the CB block (local or the device's),
// the connection parameters, the session window, the screen saver handling, the released
// object, and the library's record of its own path.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "host_harness.h"
#include "library_copy.h"
#include "suite/fvcfgmgr/fvcfgmgr.h"
#include "suite/fvtime32/fvtime32.h"

namespace farvane::hostpilot::testing {
namespace {

using sysparams::SPI_SETSCREENSAVEACTIVE;
constexpr std::int32_t kStart = ScriptedStage::kStepStart;

// Starts the host and returns the state at the first wait.
Snapshot FirstWait(HostHarness& h, int callOut = 0) {
    Snapshots atWait;
    atWait.Attach(*h.connect);
    h.host->Start(callOut);
    EXPECT_TRUE(HostHarness::Started(*h.connect, 1));
    auto waits = atWait.At();
    return waits.empty() ? Snapshot{} : waits.front();
}

TEST(HostSetUp, OnThisPlatformTheCBBlockIsLocalAndNoDeviceIsOpened) {
    HostHarness h;
    h.fakes.system.version = {2, 4, 0};
    Snapshot wait = FirstWait(h);
    ASSERT_TRUE(wait.hasRecords);
    EXPECT_EQ(wait.platformId, 2);
    EXPECT_EQ(wait.osVersion, 400);
    EXPECT_EQ(wait.deviceFlag, 0);
    EXPECT_NE(wait.cbBlock, h.fakes.device.block);
    EXPECT_EQ(std::vector<unsigned char>(wait.sessionItems, wait.sessionItems + 4),
              std::vector<unsigned char>(4, 2));
    EXPECT_EQ(h.fakes.device.opens, 0);
}

// On platform 1 the device shares its CB block when it answers with a whole address.
TEST(HostSetUp, ADeviceAnsweringAWholeAddressSharesItsCBBlock) {
    HostHarness h;
    h.fakes.system.version = {1, 3, 51};
    Snapshot wait = FirstWait(h);
    EXPECT_EQ(wait.osVersion, 351);
    EXPECT_EQ(h.fakes.device.lastCode, HP_DEVICE_GET_CB_BLOCK);
    EXPECT_EQ(wait.deviceFlag, 1);
    EXPECT_EQ(wait.cbBlock, h.fakes.device.block);
    for (int at = 33; at <= 36; ++at) {
        EXPECT_EQ(h.fakes.device.block[at], 2);
    }
    h.Post(HP_END);
    ASSERT_TRUE(h.WaitOver());
    EXPECT_EQ(h.fakes.device.closes, 1);  // the block is the device's: not freed, still there
}

TEST(HostSetUp, ADeviceAnsweringFewerBytesCountsAsAbsent) {
    for (DWORD answer : {DWORD{4}, DWORD{0}}) {
        HostHarness h;
        h.fakes.system.version = {1, 4, 0};
        h.fakes.device.answerBytes = answer;
        Snapshot wait = FirstWait(h);
        EXPECT_EQ(wait.deviceFlag, 0);
        EXPECT_NE(wait.cbBlock, h.fakes.device.block);
        EXPECT_NE(wait.cbBlock, nullptr);
        h.Post(HP_END);
        ASSERT_TRUE(h.WaitOver());
        EXPECT_EQ(h.fakes.device.opens, 1);
        EXPECT_EQ(h.fakes.device.closes, 1);
    }
}

TEST(HostSetUp, ConnectionParametersCarryTheHostsIdentity) {
    HostSessionConfig config;
    config.ntService = 1;
    config.options.OptionWordA = HOST_OPTIONS::kOptionA;
    config.options.OptionWordB = HOST_OPTIONS::kOptionB;
    config.hostText = "Front desk";
    HostHarness h(config);
    Snapshot wait = FirstWait(h);
    EXPECT_EQ(wait.params.AnswerFlag, 1);
    EXPECT_EQ(wait.params.HostKind, 3);
    EXPECT_STREQ(wait.params.HostText, "Front desk");
    EXPECT_STREQ(wait.params.ComputerName, "HOSTPC");
    EXPECT_EQ(wait.params.ConnectionFlags & CONNECT_PARAMS::kOptionBFlag, 1u);
    EXPECT_EQ(wait.ntService, 1);
    // The name also went to the session's parameter record (its third text field).
    const auto* record = reinterpret_cast<const char*>(&h.Session()->m_SessionParams);
    EXPECT_STREQ(record + 8 + CSessionParamBlock::kSize + 26 + 261, "HOSTPC");
}

TEST(HostSetUp, WithoutOptionsOrAComputerNameTheParametersStillGoBack) {
    HostHarness h;
    FVCommOverrideComputerName(nullptr);
    CONNECT_PARAMS before;
    before.ConnectionFlags = 0xFF;
    std::strcpy(before.HostText, "kept");
    h.Session()->SetConnParams(&before);
    Snapshot wait = FirstWait(h);
    EXPECT_EQ(wait.params.AnswerFlag, 1);
    EXPECT_EQ(wait.params.HostKind, 1);
    EXPECT_STREQ(wait.params.ComputerName, "");
    EXPECT_STREQ(wait.params.HostText, "kept");
    EXPECT_EQ(wait.params.ConnectionFlags, 0xFEu);
}

TEST(HostSetUp, TheLibraryKnowsItsPathAndReadsOptionsBesideIt) {
    LibraryCopy copy("[Options]\n10=1\n");
    HostSessionConfig config;
    config.pilotLibraryPath = copy.Path();
    config.ntService = 1;
    HostHarness h(config);
    auto modulePath =
        reinterpret_cast<const char* (*)()>(h.host->Pilot().Symbol("hPilotModulePath"));
    ASSERT_NE(modulePath, nullptr);
    EXPECT_EQ(std::filesystem::canonical(modulePath()), std::filesystem::canonical(copy.Path()));

    // Option 10 and a system service: the window and its menu are left alone.
    Snapshot wait = FirstWait(h);
    EXPECT_EQ(wait.noInterface, 1);
    h.Post(HP_END);
    ASSERT_TRUE(h.WaitOver());
    EXPECT_EQ(h.fakes.window.strips, 0);
    EXPECT_TRUE(h.fakes.window.Shows().empty());
}

TEST(HostSetUp, OptionTenWithoutASystemServiceStillChangesTheWindow) {
    LibraryCopy copy("[Options]\n10=1\n");
    HostSessionConfig config;
    config.pilotLibraryPath = copy.Path();
    HostHarness h(config);
    Snapshot wait = FirstWait(h);
    EXPECT_EQ(wait.noInterface, 0);
    EXPECT_EQ(h.fakes.window.strips, 1);
    EXPECT_EQ(h.fakes.window.Shows(), std::vector<int>{SW_HIDE});
}

TEST(HostSetUp, ASessionWithoutAWindowIsNotTouched) {
    // No UI backend runs in this program: the session makes no window of its own.
    HostHarness h({}, 1000, HostHarness::kSessionMakesWindow);
    EXPECT_EQ(h.host->Session()->m_hWnd, nullptr);
    FirstWait(h);
    EXPECT_EQ(h.fakes.window.strips, 0);
    EXPECT_TRUE(h.fakes.window.Shows().empty());
}

class Releasable final : public IHostReleasable {
public:
    void Reserved0() override {}
    void Reserved1() override {}
    void Reserved2() override {}
    void Release() override { ++released; }
    std::atomic<int> released{0};
};

TEST(HostTearDown, ReleasesTheStoredObjectOnce) {
    HostHarness h;
    Releasable object;
    h.connect->OnStepStart([&](CFVSession* session, std::int32_t) {
        reinterpret_cast<HOSTDATA*>(session->GlobalProcData())->ReleasedObject = &object;
    });
    h.connect->Script(kStart, {{0, 0, true}});
    h.hostSession->Script(kStart, {{255, 0, true}});
    h.host->Start(0);
    ASSERT_TRUE(h.WaitOver());
    EXPECT_EQ(object.released, 1);  // kept across the host session's preparation
}

// Option A: while waiting the screen saver comes on after one second; the settings go back when
// the connection step ends.
TEST(HostScreenSaver, SavedWhileWaitingAndRestoredWhenTheCallerComes) {
    HostSessionConfig config;
    config.options.OptionWordA = HOST_OPTIONS::kOptionA;
    HostHarness h(config, 1);  // real time: the 15-second restore must not interfere
    h.fakes.screenSaver.Set(FALSE, 600);
    std::vector<std::pair<BOOL, int>> duringWait;
    h.connect->OnStepStart([&](CFVSession*, std::int32_t) {
        duringWait.emplace_back(h.fakes.screenSaver.Active(), h.fakes.screenSaver.Timeout());
    });
    h.connect->Script(kStart, {{0, 0, true}});
    h.hostSession->Script(kStart, {{255, 0, true}});
    h.host->Start(0);
    ASSERT_TRUE(h.WaitOver());
    ASSERT_EQ(duringWait.size(), 2u);  // the wait, and the release of the line
    EXPECT_EQ(duringWait[0], (std::pair<BOOL, int>{TRUE, 1}));
    EXPECT_EQ(h.fakes.screenSaver.Active(), FALSE);
    EXPECT_EQ(h.fakes.screenSaver.Timeout(), 600);
    for (const auto& call : h.fakes.screenSaver.Calls()) {
        if (call.action == SPI_SETSCREENSAVEACTIVE) {
            EXPECT_EQ(call.winIni, sysparams::SPIF_SENDWININICHANGE);
        }
    }
    EXPECT_EQ(FVTimerPendingCount(), 0);
}

TEST(HostScreenSaver, RestoredAfterFifteenSecondsOfWaiting) {
    HostSessionConfig config;
    config.options.OptionWordA = HOST_OPTIONS::kOptionA;
    HostHarness h(config);
    h.fakes.screenSaver.Set(TRUE, 300);
    FirstWait(h);
    ASSERT_TRUE(Eventually([&] { return h.fakes.screenSaver.Timeout() == 300; }));
    EXPECT_EQ(h.fakes.screenSaver.Active(), TRUE);
}

// The connection came before the 15 seconds were over, and the host session's preparation
// cleared the saved values: the pending restore must not put those cleared values in place.
TEST(HostScreenSaver, APendingRestoreDoesNotOutliveTheWait) {
    HostSessionConfig config;
    config.options.OptionWordA = HOST_OPTIONS::kOptionA;
    HostHarness h(config);
    h.fakes.screenSaver.Set(TRUE, 300);
    h.connect->Script(kStart, {{0, 0, true}});
    h.hostSession->SetDefault(kStart, {0, 0, false});  // the session goes on
    h.host->Start(0);
    ASSERT_TRUE(HostHarness::Started(*h.hostSession, 1));
    std::this_thread::sleep_for(std::chrono::milliseconds(60));  // 60 s of the scaled clock
    EXPECT_EQ(h.fakes.screenSaver.Active(), TRUE);
    EXPECT_EQ(h.fakes.screenSaver.Timeout(), 300);
    EXPECT_EQ(FVTimerPendingCount(), 0);
}

// A second wait while the first one's settings are still in force keeps the person's values.
TEST(HostScreenSaver, ASecondWaitDoesNotSaveTheWaitingSettings) {
    HostSessionConfig config;
    config.options.OptionWordA = HOST_OPTIONS::kOptionA;
    HostHarness h(config, 1);
    h.fakes.screenSaver.Set(FALSE, 900);
    h.connect->Script(kStart, {{0, 0, false}, {-1, 0, true}});
    FirstWait(h);
    h.Post(HP_WAIT);
    ASSERT_TRUE(h.WaitOver());
    EXPECT_EQ(h.fakes.screenSaver.Active(), FALSE);
    EXPECT_EQ(h.fakes.screenSaver.Timeout(), 900);
}

TEST(HostScreenSaver, FailingCallsStopTheChangeAndWithoutOptionANothingIsTouched) {
    {
        HostSessionConfig config;
        config.options.OptionWordA = HOST_OPTIONS::kOptionA;
        HostHarness h(config, 1);
        h.fakes.screenSaver.Fail(sysparams::SPI_GETSCREENSAVETIMEOUT);
        FirstWait(h);
        EXPECT_EQ(h.fakes.screenSaver.Calls().size(), 2u);  // get active, get time-out
        EXPECT_EQ(FVTimerPendingCount(), 0);
    }
    {
        HostHarness h;
        FirstWait(h);
        EXPECT_TRUE(h.fakes.screenSaver.Calls().empty());
    }
}

}  // namespace
}  // namespace farvane::hostpilot::testing

namespace farvane::hostpilot::testing {
namespace {

// The exported functions answer every call, including ones they cannot act on.
TEST(HostEntryPoints, EveryCallReturnsOneAndTheFlowFunctionEchoes) {
    CFVSession bare;  // no session library state: every operation is refused
    CAction action(PROC_HOSTPILOT, PROC_SESSION, HP_WAIT, 0);
    EXPECT_EQ(hPilotActionFunc(nullptr, &action, 0), 1);
    EXPECT_EQ(hPilotActionFunc(&bare, nullptr, 0), 1);
    EXPECT_EQ(hPilotActionFunc(&bare, &action, 0), 1);
    action.SetCode(ACT_START);
    EXPECT_EQ(hPilotActionFunc(&bare, &action, 0), 1);  // start-up fails: no service
    EXPECT_EQ(bare.UserData(PROC_HOSTPILOT), 0u);
    EXPECT_EQ(hPilotFlowFunc(&bare, &action, 42), 42);
    EXPECT_EQ(hPilotFlowFunc(nullptr, nullptr, -7), -7);
}

}  // namespace
}  // namespace farvane::hostpilot::testing
