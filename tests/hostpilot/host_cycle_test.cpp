// The host's outer cycle driven through the real dispatch: the session library stand-in, the
// host pilot loaded with dlopen, and scripted stages.
#include <gtest/gtest.h>

#include <vector>

#include "host_harness.h"
#include "suite/fvtime32/fvtime32.h"

namespace farvane::hostpilot::testing {
namespace {

using Outcome = ScriptedStage::Outcome;
constexpr std::int32_t kStart = ScriptedStage::kStepStart;
constexpr std::int32_t kRelease = ScriptedStage::kReleaseLine;

std::vector<std::int32_t> Codes(ScriptedStage& stage) {
    std::vector<std::int32_t> codes;
    for (const auto& seen : stage.SeenActions()) {
        codes.push_back(seen.code);
    }
    return codes;
}

std::vector<std::uint32_t> StartParams(ScriptedStage& stage) {
    std::vector<std::uint32_t> params;
    for (const auto& seen : stage.SeenActions()) {
        if (seen.code == kStart) {
            params.push_back(seen.param);
        }
    }
    return params;
}

// Start, wait, admit, host session, release, wait again; then a session ending with 255 ends
// the host. Checks what each stage was asked, the CB session items, the video event's life and
// that the records are gone at the end.
TEST(HostCycle, RunsWholeCyclesAndEndsAfterResult255) {
    HostHarness h;
    h.connect->Script(kStart, {{0, 0, true}, {0, 0, true}});
    h.admit->Script(kStart, {{0, 0, true}, {0, 0, true}});
    h.hostSession->Script(kStart, {{0, 0, true}, {255, 0, true}});
    Snapshots atWait;
    Snapshots atSession;
    atWait.Attach(*h.connect);
    atSession.Attach(*h.hostSession, [](CFVSession* session) {
        // What the host session and the remote do to the shared state while it runs.
        auto* host = reinterpret_cast<HOSTDATA*>(session->GlobalProcData());
        std::memset(host->CBBlock + 33, 9, 4);
        std::strcpy(host->Text, "caller");
        SetEvent(host->VideoEvent);
    });

    ASSERT_EQ(h.host->Start(0), 1);
    ASSERT_TRUE(h.WaitOver());

    EXPECT_EQ(Codes(*h.connect), (std::vector<std::int32_t>{kStart, kRelease, kStart, kRelease}));
    // The first admission is normal; a session that ended with 0 asks for mode 2 next time.
    EXPECT_EQ(StartParams(*h.admit), (std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(StartParams(*h.hostSession), (std::vector<std::uint32_t>{0, 0}));
    for (const auto& seen : h.connect->SeenActions()) {
        EXPECT_EQ(seen.source, PROC_HOSTPILOT);
    }

    auto waits = atWait.At(kStart);
    ASSERT_EQ(waits.size(), 2u);
    for (const Snapshot& wait : waits) {
        EXPECT_EQ(wait.user.State, HP_STATE_WAITING);
        EXPECT_EQ(std::vector<unsigned char>(wait.sessionItems, wait.sessionItems + 4),
                  std::vector<unsigned char>(4, 2));
        EXPECT_FALSE(wait.hasVideoEvent);  // closed when the line was released
        EXPECT_EQ(wait.text, "");
        EXPECT_EQ(wait.params.AnswerFlag, 1);
    }
    auto sessions = atSession.At(kStart);
    ASSERT_EQ(sessions.size(), 2u);
    for (const Snapshot& session : sessions) {
        EXPECT_EQ(session.user.State, HP_STATE_SESSION);
        EXPECT_TRUE(session.hasVideoEvent);  // a new one for each host session, unsignalled
        EXPECT_FALSE(session.videoSignalled);
    }
    EXPECT_EQ(h.Session()->UserData(PROC_HOSTPILOT), 0u);
    EXPECT_EQ(h.Session()->GlobalProcData(), 0u);
    EXPECT_EQ(h.host->Core()->RetCode(), 0);
    EXPECT_EQ(h.fakes.power.restarts, 0);

    // Hidden while waiting, shown whenever a step came back.
    auto shows = h.fakes.window.Shows();
    ASSERT_FALSE(shows.empty());
    EXPECT_EQ(shows.front(), SW_HIDE);
    EXPECT_EQ(std::count(shows.begin(), shows.end(), SW_HIDE), 2);
    EXPECT_EQ(std::count(shows.begin(), shows.end(), SW_SHOW), 8);
    EXPECT_EQ(h.fakes.window.strips, 1);
}

TEST(HostCycle, FatalConnectionResultsEndTheHost) {
    for (std::int32_t result : {-1, -3, -4, -8, -16}) {
        HostHarness h;
        h.connect->Script(kStart, {{result, 0, true}});
        h.host->Start(0);
        ASSERT_TRUE(h.WaitOver()) << result;
        EXPECT_EQ(Codes(*h.connect), std::vector<std::int32_t>{kStart}) << result;
        EXPECT_TRUE(h.admit->SeenActions().empty());
        EXPECT_EQ(h.Session()->GlobalProcData(), 0u);
    }
}

// -2 (and any other non-fatal result) waits 30 seconds (30 ms at this time scale) and waits
// again in the normal mode.
TEST(HostCycle, OtherConnectionResultsRetryAfterThirtySeconds) {
    HostHarness h;
    h.connect->Script(kStart, {{-2, 0, true}, {5, 0, true}});
    Snapshots atWait;
    atWait.Attach(*h.connect);
    h.host->Start(0);
    ASSERT_TRUE(HostHarness::Started(*h.connect, 3));
    EXPECT_TRUE(h.admit->SeenActions().empty());
    auto waits = atWait.At();
    EXPECT_EQ(waits.back().user.RetryTimerId, 0u);  // the retry timer is gone once it fired
    EXPECT_EQ(waits.back().user.WaitMode, HP_WAIT_MODE_ANSWER);
}

// Admission results choose the next admission: 1 -> a wait that does not answer, then mode 4;
// 4 -> mode 2; another result keeps the flags; 0 starts the host session.
TEST(HostCycle, AdmissionResultsPickTheNextAdmissionMode) {
    HostHarness h;
    h.connect->Script(kStart, {{0, 0, true}, {0, 0, true}, {0, 0, true}, {0, 0, true}});
    h.admit->Script(kStart, {{1, 0, true}, {4, 0, true}, {7, 0, true}, {0, 0, true}});
    h.hostSession->Script(kStart, {{255, 0, true}});
    Snapshots atWait;
    atWait.Attach(*h.connect);
    h.host->Start(0);
    ASSERT_TRUE(h.WaitOver());
    EXPECT_EQ(StartParams(*h.admit), (std::vector<std::uint32_t>{1, 4, 2, 2}));
    auto waits = atWait.At();
    ASSERT_EQ(waits.size(), 4u);
    EXPECT_EQ(waits[0].params.AnswerFlag, 1);
    EXPECT_EQ(waits[1].params.AnswerFlag, 0);  // wait mode 2 after admission result 1
    EXPECT_EQ(waits[2].params.AnswerFlag, 1);
    EXPECT_EQ(h.hostSession->StepsStarted(kStart), 1);
}

TEST(HostCycle, HostSessionResultsThreeAndFourRestartTheComputer) {
    for (std::int32_t result : {3, 4}) {
        HostHarness h;
        h.connect->Script(kStart, {{0, 0, true}});
        h.hostSession->Script(kStart, {{result, 0, true}});
        h.host->Start(0);
        ASSERT_TRUE(h.WaitOver());
        EXPECT_EQ(h.fakes.power.restarts, 1);
        EXPECT_EQ(h.fakes.power.flags, EWX_REBOOT | EWX_FORCE);
        EXPECT_EQ(Codes(*h.connect), (std::vector<std::int32_t>{kStart, kRelease}));
    }
}

TEST(HostCycle, WithoutTheShutdownPrivilegeTheHostEndsWithoutRestart) {
    HostHarness h;
    h.fakes.power.privilege = false;
    h.connect->Script(kStart, {{0, 0, true}});
    h.hostSession->Script(kStart, {{3, 0, true}});
    h.host->Start(0);
    ASSERT_TRUE(h.WaitOver());
    EXPECT_EQ(h.fakes.power.privilegeAsked, 1);
    EXPECT_EQ(h.fakes.power.restarts, 0);
}

TEST(HostCycle, RestartAfterEverySessionWhenTheHostAsksForIt) {
    HostSessionConfig config;
    config.options.RestartAfterSession = 1;
    HostHarness h(config);
    h.connect->Script(kStart, {{0, 0, true}});
    h.hostSession->Script(kStart, {{0, 0, true}});
    h.host->Start(0);
    ASSERT_TRUE(h.WaitOver());
    EXPECT_EQ(h.fakes.power.restarts, 1);
}

TEST(HostCycle, NegativeHostSessionResultsWaitAgainNormally) {
    HostHarness h;
    h.connect->Script(kStart, {{0, 0, true}, {0, 0, true}});
    h.hostSession->Script(kStart, {{-5, 0, true}, {255, 0, true}});
    h.host->Start(0);
    ASSERT_TRUE(h.WaitOver());
    EXPECT_EQ(StartParams(*h.admit), (std::vector<std::uint32_t>{1, 1}));
}

// While another processor holds the flow, menu commands go to it unchanged; the host pilot's
// own wait mode stays as it was.
TEST(HostCycle, MenuCommandsAreForwardedWhileAStageHoldsTheFlow) {
    HostHarness h;
    Snapshots atWait;
    atWait.Attach(*h.connect);
    h.host->Start(0);
    ASSERT_TRUE(HostHarness::Started(*h.connect, 1));
    h.Post(ACT_MENU_COMMAND, HP_MENU_CALL);
    h.Post(ACT_MENU_COMMAND, HP_MENU_EXIT_HOST);
    ASSERT_TRUE(Eventually([&] { return h.connect->SeenActions().size() == 3; }));
    auto seen = h.connect->SeenActions();
    EXPECT_EQ(seen[1].code, ACT_MENU_COMMAND);
    EXPECT_EQ(seen[1].param, HP_MENU_CALL);
    EXPECT_EQ(seen[1].source, PROC_HOSTPILOT);
    EXPECT_EQ(seen[2].param, HP_MENU_EXIT_HOST);
    EXPECT_FALSE(h.host->IsOver());
    EXPECT_EQ(atWait.At().size(), 1u);
}

// During the 30-second retry the host pilot holds the flow: "Call Remote" then waits in call
// out mode at once, and ending the host kills the retry timer that is still pending.
TEST(HostCycle, MenuCommandsWhileTheHostPilotHoldsTheFlow) {
    HostHarness h({}, 1);  // real time: the retry stays pending
    h.connect->Script(kStart, {{-2, 0, true}});
    Snapshots atWait;
    atWait.Attach(*h.connect);
    h.host->Start(0);
    // The flow comes back to the host pilot just before it sets the retry timer, so wait for
    // both: a slow (sanitised) run can look in between.
    ASSERT_TRUE(Eventually([&] {
        return h.host->Core()->FlowHolder() == PROC_HOSTPILOT && h.connect->StepsStarted(kStart) &&
               FVTimerPendingCount() == 1;
    }));
    h.Post(ACT_MENU_COMMAND, HP_MENU_CALL);
    ASSERT_TRUE(HostHarness::Started(*h.connect, 2));
    auto waits = atWait.At();
    EXPECT_EQ(waits.back().user.WaitMode, HP_WAIT_MODE_CALL_OUT);
    EXPECT_EQ(waits.back().params.AnswerFlag, 0);
    EXPECT_STREQ(waits.back().params.CallOutText, "");

    h.Post(HP_END);
    ASSERT_TRUE(h.WaitOver());
    EXPECT_EQ(FVTimerPendingCount(), 0);
}

// A retry requested while one is pending replaces it (the timer repeats until killed, so a
// second one would go on posting waits): the end of the host leaves no timer behind.
TEST(HostCycle, ASecondRetryReplacesThePendingOne) {
    HostHarness h({}, 1);  // real time: the retry stays pending
    h.connect->Script(kStart, {{-2, 0, true}});
    h.host->Start(0);
    ASSERT_TRUE(Eventually([&] { return FVTimerPendingCount() == 1; }));
    h.Post(HP_RETRY_LATER);
    h.Post(HP_RETRY_LATER);
    h.Post(HP_END);
    ASSERT_TRUE(h.WaitOver());
    EXPECT_EQ(FVTimerPendingCount(), 0);
}

TEST(HostCycle, MenuExitHostEndsTheHostWhenItHoldsTheFlow) {
    HostHarness h({}, 1);
    h.connect->Script(kStart, {{-2, 0, true}});
    h.host->Start(0);
    ASSERT_TRUE(Eventually([&] {
        return h.host->Core()->FlowHolder() == PROC_HOSTPILOT && h.connect->StepsStarted(kStart);
    }));
    h.Post(ACT_MENU_COMMAND, 99);  // unknown item: nothing
    h.Post(ACT_MENU_COMMAND, HP_MENU_EXIT_HOST);
    ASSERT_TRUE(h.WaitOver());
    EXPECT_EQ(FVTimerPendingCount(), 0);
}

// ACT_CANCEL releases the line while neither event is set, and is ignored while one is.
TEST(HostCycle, CancelReleasesTheLineUnlessAnEventHoldsIt) {
    HostHarness h;
    h.connect->Script(kRelease, {{-2, 0, true}});
    Snapshots atRelease;
    atRelease.Attach(*h.connect);
    h.host->Start(0);
    ASSERT_TRUE(HostHarness::Started(*h.connect, 1));
    auto* host = reinterpret_cast<HOSTDATA*>(h.Session()->GlobalProcData());
    for (HANDLE held : {host->EventA, host->EventB}) {
        SetEvent(held);
        std::size_t seen = h.connect->SeenActions().size();
        h.Post(ACT_CANCEL);
        h.Post(ACT_MENU_COMMAND, HP_MENU_WAIT);  // a marker: forwarded after the cancel ran
        ASSERT_TRUE(Eventually([&] { return h.connect->SeenActions().size() == seen + 1; }));
        EXPECT_EQ(h.connect->SeenActions().back().code, ACT_MENU_COMMAND);
        ResetEvent(held);
    }
    h.Post(ACT_CANCEL);
    ASSERT_TRUE(HostHarness::Started(*h.connect, 1, kRelease));
    auto releases = atRelease.At(kRelease);
    ASSERT_EQ(releases.size(), 1u);
    EXPECT_EQ(releases[0].user.State, HP_STATE_WAITING);  // the state does not change
    EXPECT_EQ(releases[0].user.WaitMode, HP_WAIT_MODE_ANSWER);
    // The release ended with -2: a retry follows, and after it a new wait.
    ASSERT_TRUE(HostHarness::Started(*h.connect, 2));
}

TEST(HostCycle, ASecondStartEndsTheHost) {
    HostHarness h;
    h.host->Start(0);
    ASSERT_TRUE(HostHarness::Started(*h.connect, 1));
    h.Post(ACT_START);
    ASSERT_TRUE(h.WaitOver());
    EXPECT_EQ(h.Session()->UserData(PROC_HOSTPILOT), 0u);
}

TEST(HostCycle, ActionsBeforeStartUpAreIgnored) {
    HostHarness h;
    for (std::int32_t code : {HP_WAIT, HP_END, ACT_MENU_COMMAND, ACT_STEP_DONE, HP_HANGUP, 999}) {
        h.Post(code, HP_MENU_EXIT_HOST);
    }
    h.host->Start(1);  // call out
    Snapshots atWait;
    atWait.Attach(*h.connect);
    ASSERT_TRUE(HostHarness::Started(*h.connect, 1));
    EXPECT_FALSE(h.host->IsOver());
    EXPECT_EQ(Codes(*h.connect), std::vector<std::int32_t>{kStart});
}

TEST(HostCycle, StartWithCallOutWaitsInCallOutMode) {
    HostHarness h;
    Snapshots atWait;
    atWait.Attach(*h.connect);
    h.host->Start(1);
    ASSERT_TRUE(HostHarness::Started(*h.connect, 1));
    auto waits = atWait.At();
    ASSERT_EQ(waits.size(), 1u);
    EXPECT_EQ(waits[0].user.WaitMode, HP_WAIT_MODE_CALL_OUT);
    EXPECT_EQ(waits[0].params.AnswerFlag, 0);
}

// A start that fails before the global record exists must not leave the session waiting for
// an end action that the entry checks would refuse.
TEST(HostCycle, AFailedStartFreesEverythingAndGivesTheFlowBack) {
    HostHarness h;
    h.Session()->m_pService = nullptr;
    h.host->Start(0);
    ASSERT_TRUE(h.WaitOver());
    EXPECT_EQ(h.Session()->UserData(PROC_HOSTPILOT), 0u);
    EXPECT_EQ(h.Session()->GlobalProcData(), 0u);
    EXPECT_TRUE(h.connect->SeenActions().empty());
}

TEST(HostCycle, FailAndQuitEndTheHost) {
    for (std::int32_t code : {ACT_FAIL, ACT_QUIT}) {
        HostHarness h;
        h.host->Start(0);
        ASSERT_TRUE(HostHarness::Started(*h.connect, 1));
        h.Post(code);
        ASSERT_TRUE(h.WaitOver());
    }
}

}  // namespace
}  // namespace farvane::hostpilot::testing
