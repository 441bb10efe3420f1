// The host pilot's action function: the host's outer cycle as a state machine. It never blocks;
// every step posts an action to the host pilot itself or gives the flow to another processor
// and waits for ACT_STEP_DONE.
#include <cstdint>

#include "hostpilot/fvhpilot.h"
#include "hostpilot/host_actions.h"
#include "hostpilot/host_context.h"
#include "hostpilot/host_services.h"
#include "hostpilot/host_setup.h"
#include "hostpilot/screen_saver.h"
#include "platform/kernel/synch.h"
#include "session/action.h"
#include "suite/fvtime32/fvtime32.h"

namespace farvane::hostpilot {
namespace {

struct Call {
    CFVSession* session;
    CAction* action;
    HostPilotUserData* user;
    HOSTDATA* host;
};

bool IsSignalled(HANDLE event) {
    return event != nullptr && WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

void ShowSessionWindow(const Call& call, int command) {
    if (call.host->NoInterface == 0 && call.session->m_hWnd != nullptr) {
        Services().window->Show(call.session->m_hWnd, command);
    }
}

// Ends the host: records freed, return code 0, flow back to whoever gave it.
void EndHost(CFVSession* session) {
    TearDown(session);
    session->SetRetCode(0);
    session->PopFlow();
}

void OnStart(const Call& call) {
    if (call.user != nullptr) {
        // Already started: a second start ends the host.
        call.session->SetAction(PROC_HOSTPILOT, static_cast<ePROC_ID>(HP_FAILED_START_SOURCE),
                                HP_END, 0);
        return;
    }
    if (!HostStartUp(call.session)) {
        if (HostRecord(call.session) != nullptr) {
            call.session->SetAction(PROC_HOSTPILOT, static_cast<ePROC_ID>(HP_FAILED_START_SOURCE),
                                    HP_END, 0);
        } else {
            // The end action would be refused without the global record: end the host here,
            // so that nothing stays allocated and the flow goes back.
            EndHost(call.session);
        }
        return;
    }
    HostPilotUserData* user = UserRecord(call.session);
    user->State = HP_STATE_STARTED;
    user->WaitMode = call.action->LParam() != 0 ? HP_WAIT_MODE_CALL_OUT : HP_WAIT_MODE_ANSWER;
    Post(call.session, HP_WAIT);
}

void OnConnectionStepDone(const Call& call, std::int32_t result) {
    RestoreScreenSaver(call.session);
    switch (result) {
        case 0:
            Post(call.session, HP_CONNECTED);
            break;
        case -1:
        case -3:
        case -4:
        case -8:
        case -16:
            Post(call.session, ACT_FAIL);
            break;
        default:
            Post(call.session, HP_RETRY_LATER);
            break;
    }
}

void OnAdmissionStepDone(const Call& call, std::int32_t result) {
    HostPilotUserData* user = call.user;
    if (result == 0) {
        Post(call.session, HP_HOST_SESSION);
        user->Flags &= ~HP_FLAG_ADMIT_MODE_2;
        return;
    }
    if (result == 1) {
        user->WaitMode = HP_WAIT_MODE_ANSWER_AFTER_ADMIT;
        Post(call.session, HP_HANGUP);
        user->Flags &= ~HP_FLAG_ADMIT_MODE_2;
        return;
    }
    if (result == 4) {
        user->Flags |= HP_FLAG_ADMIT_MODE_2;
    }
    user->WaitMode = HP_WAIT_MODE_ANSWER;
    Post(call.session, HP_HANGUP);
}

void OnHostSessionStepDone(const Call& call, std::int32_t result) {
    HostPilotUserData* user = call.user;
    if (HostOptions(call.session).RestartAfterSession != 0) {
        user->Flags |= HP_FLAG_RESTART_AFTER_RELEASE;
    } else {
        user->Flags &= ~HP_FLAG_ADMIT_MODE_2;
        if (result == 0) {
            user->Flags |= HP_FLAG_ADMIT_MODE_2;
            user->WaitMode = HP_WAIT_MODE_ANSWER;
        } else if (result == 3 || result == 4) {
            user->Flags |= HP_FLAG_RESTART_AFTER_RELEASE;
        } else if (result == 255) {
            user->Flags |= HP_FLAG_END_AFTER_RELEASE;
        } else {
            user->WaitMode = HP_WAIT_MODE_ANSWER;
        }
    }
    Post(call.session, HP_HANGUP);
}

void OnLineReleased(const Call& call) {
    if (call.host->EventB != nullptr) {
        ResetEvent(call.host->EventB);
    }
    if (call.user->Flags & HP_FLAG_RESTART_AFTER_RELEASE) {
        RestartComputer(call.session);
        Post(call.session, ACT_QUIT);
    } else if (call.user->Flags & HP_FLAG_END_AFTER_RELEASE) {
        Post(call.session, HP_END);
    } else {
        Post(call.session, HP_WAIT);
    }
}

void OnStepDone(const Call& call) {
    ShowSessionWindow(call, SW_SHOW);
    std::int32_t result = call.session->m_Result;
    switch (call.user->State) {
        case HP_STATE_WAITING:
            OnConnectionStepDone(call, result);
            break;
        case HP_STATE_ADMITTING:
            OnAdmissionStepDone(call, result);
            break;
        case HP_STATE_SESSION:
            OnHostSessionStepDone(call, result);
            break;
        case HP_STATE_RELEASING:
            OnLineReleased(call);
            break;
        default:
            call.user->State = HP_STATE_STARTED;
            break;
    }
}

void OnCancel(const Call& call) {
    if (IsSignalled(call.host->EventB) || IsSignalled(call.host->EventA)) {
        return;
    }
    ResetSessionItems(call.session);
    call.user->WaitMode = HP_WAIT_MODE_ANSWER;
    GiveFlow(call.session, PROC_CONNECT, ACT_RELEASE_LINE, 0);
}

void OnMenuCommand(const Call& call) {
    std::uint32_t item = call.action->Param();
    ePROC_ID holder = call.session->WhoHasFlow();
    if (holder != PROC_HOSTPILOT) {
        call.session->SetAction(holder, PROC_HOSTPILOT, ACT_MENU_COMMAND, item);
        return;
    }
    switch (item) {
        case HP_MENU_WAIT:
            call.user->WaitMode = HP_WAIT_MODE_ANSWER;
            Post(call.session, HP_WAIT);
            break;
        case HP_MENU_CALL:
            call.user->WaitMode = HP_WAIT_MODE_CALL_OUT;
            Post(call.session, HP_WAIT);
            break;
        case HP_MENU_EXIT_HOST:
            Post(call.session, HP_END);
            break;
        default:
            break;
    }
}

void OnHangUp(const Call& call) {
    call.user->State = HP_STATE_RELEASING;
    ResetSessionItems(call.session);
    GiveFlow(call.session, PROC_CONNECT, ACT_RELEASE_LINE, 0);
}

void OnWait(const Call& call) {
    PrepareWaitParams(call.session, call.user->WaitMode);
    call.user->State = HP_STATE_WAITING;
    ApplyWaitScreenSaver(call.session);
    GiveFlow(call.session, PROC_CONNECT, HP_STEP_START, 0);
    ShowSessionWindow(call, SW_HIDE);
}

void OnConnected(const Call& call) {
    call.user->State = HP_STATE_ADMITTING;
    std::uint32_t mode = HP_ADMIT_NORMAL;
    if (call.user->Flags & HP_FLAG_ADMIT_MODE_2) {
        mode = HP_ADMIT_MODE_2;
    } else if (call.user->WaitMode == HP_WAIT_MODE_ANSWER_AFTER_ADMIT) {
        mode = HP_ADMIT_AFTER_ANSWER;
    }
    GiveFlow(call.session, PROC_ADMIT, HP_STEP_START, mode);
}

int RetryTimerCallback(UINT, void* context) {
    Post(static_cast<CFVSession*>(context), HP_RETRY_NOW);
    return 0;
}

void OnRetryLater(const Call& call) {
    // Only one retry may be pending: a second timer would post a second wait.
    if (call.user->RetryTimerId != 0) {
        FVKillTimer(call.user->RetryTimerId);
    }
    call.user->RetryTimerId =
        FVStartTimer(HP_RETRY_DELAY_MS, HP_RETRY_PERIOD_MS, RetryTimerCallback, call.session, 0);
}

void OnRetryNow(const Call& call) {
    if (call.user->RetryTimerId != 0) {
        FVKillTimer(call.user->RetryTimerId);
        call.user->RetryTimerId = 0;
    }
    call.user->WaitMode = HP_WAIT_MODE_ANSWER;
    Post(call.session, HP_WAIT);
}

void OnHostSession(const Call& call) {
    call.user->State = HP_STATE_SESSION;
    if (!PrepareHostDataForSession(call.session)) {
        Post(call.session, ACT_QUIT);
    }
    GiveFlow(call.session, PROC_HOSTSESSION, HP_STEP_START, 0);
}

void Dispatch(const Call& call) {
    switch (call.action->Code()) {
        case ACT_STEP_DONE:
            OnStepDone(call);
            break;
        case ACT_CANCEL:
            OnCancel(call);
            break;
        case ACT_FAIL:
        case ACT_QUIT:
            Post(call.session, HP_END);
            break;
        case ACT_MENU_COMMAND:
            OnMenuCommand(call);
            break;
        case HP_HANGUP:
            OnHangUp(call);
            break;
        case HP_WAIT:
            OnWait(call);
            break;
        case HP_CONNECTED:
            OnConnected(call);
            break;
        case HP_WAIT_NORMAL:
            call.user->WaitMode = HP_WAIT_MODE_ANSWER;
            Post(call.session, HP_WAIT);
            break;
        case HP_RETRY_LATER:
            OnRetryLater(call);
            break;
        case HP_RETRY_NOW:
            OnRetryNow(call);
            break;
        case HP_END:
            EndHost(call.session);
            break;
        case HP_HOST_SESSION:
            OnHostSession(call);
            break;
        default:
            break;
    }
}

}  // namespace
}  // namespace farvane::hostpilot

extern "C" int hPilotActionFunc(CFVSession* session, CAction* action, int) {
    using namespace farvane::hostpilot;
    if (session == nullptr || action == nullptr) {
        return 1;
    }
    HOSTDATA* host = HostRecord(session);
    bool isStart = action->Code() == ACT_START;
    if (host == nullptr && !isStart) {
        return 1;
    }
    HostPilotUserData* user = UserRecord(session);
    if (user == nullptr && !isStart) {
        return 1;
    }
    Call call{session, action, user, host};
    if (isStart) {
        OnStart(call);
    } else {
        Dispatch(call);
    }
    return 1;
}
