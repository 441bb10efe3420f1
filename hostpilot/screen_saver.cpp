#include "hostpilot/screen_saver.h"

#include <atomic>

#include "hostpilot/host_actions.h"
#include "hostpilot/host_context.h"
#include "hostpilot/host_services.h"
#include "platform/sysparams/system_parameters.h"
#include "suite/fvtime32/fvtime32.h"

namespace farvane::hostpilot {
namespace {

using sysparams::SPI_GETSCREENSAVEACTIVE;
using sysparams::SPI_GETSCREENSAVETIMEOUT;
using sysparams::SPI_SETSCREENSAVEACTIVE;
using sysparams::SPI_SETSCREENSAVETIMEOUT;
using sysparams::SPIF_SENDWININICHANGE;

// The timer id is written by the timer thread too, so every access is atomic.
std::atomic_ref<std::uint32_t> TimerId(HostPilotUserData* user) {
    return std::atomic_ref<std::uint32_t>(user->ScreenSaverTimerId);
}

BOOL Call(UINT action, UINT param, void* value, UINT winIni) {
    return Services().screenSaver->SystemParametersInfo(action, param, value, winIni);
}

void PutSavedSettingsBack(const HOSTDATA* host) {
    Call(SPI_SETSCREENSAVEACTIVE, static_cast<UINT>(host->SavedScreenSaveActive), nullptr,
         SPIF_SENDWININICHANGE);
    Call(SPI_SETSCREENSAVETIMEOUT, static_cast<UINT>(host->SavedScreenSaveTimeout), nullptr,
         SPIF_SENDWININICHANGE);
}

// Runs on the timer thread. Tear-down kills this timer before freeing the records, and the kill
// waits for a running callback, so the records stay valid for the whole call.
int RestoreTimerCallback(UINT timerId, void* context) {
    auto* session = static_cast<CFVSession*>(context);
    HostPilotUserData* user = UserRecord(session);
    HOSTDATA* host = HostRecord(session);
    if (user == nullptr || host == nullptr) {
        return 0;
    }
    if (HostOptions(session).OptionA()) {
        PutSavedSettingsBack(host);
    }
    // Cleared last: while the id is set, whoever kills the timer waits for this call to end
    // before it touches the saved values.
    std::uint32_t mine = timerId;
    TimerId(user).compare_exchange_strong(mine, 0);
    return 0;
}

void StartRestoreTimer(CFVSession* session, HostPilotUserData* user) {
    UINT id = FVStartTimer(HP_SCREEN_SAVER_DELAY_MS, HP_SCREEN_SAVER_PERIOD_MS,
                           RestoreTimerCallback, session, 0);
    TimerId(user).store(id);
}

}  // namespace

void KillScreenSaverTimer(CFVSession* session) {
    HostPilotUserData* user = UserRecord(session);
    if (user == nullptr) {
        return;
    }
    std::uint32_t id = TimerId(user).exchange(0);
    if (id != 0) {
        FVKillTimer(id);
    }
}

void ApplyWaitScreenSaver(CFVSession* session) {
    HostPilotUserData* user = UserRecord(session);
    HOSTDATA* host = HostRecord(session);
    if (user == nullptr || host == nullptr || !HostOptions(session).OptionA()) {
        return;
    }
    // A restore still pending means the waiting settings are in force and the saved ones are
    // the person's: saving again would save the waiting settings in their place and leave the
    // screen saver at one second for good. Only the restore is put off.
    if (std::uint32_t pending = TimerId(user).exchange(0);
        pending != 0 && FVKillTimer(pending) == 1) {
        StartRestoreTimer(session, user);
        return;
    }
    BOOL active = FALSE;
    int timeout = 0;
    if (!Call(SPI_GETSCREENSAVEACTIVE, 0, &active, 0)) {
        return;
    }
    host->SavedScreenSaveActive = active;
    if (!Call(SPI_GETSCREENSAVETIMEOUT, 0, &timeout, 0)) {
        return;
    }
    host->SavedScreenSaveTimeout = timeout;
    if (!Call(SPI_SETSCREENSAVEACTIVE, 1, nullptr, SPIF_SENDWININICHANGE)) {
        return;
    }
    Call(SPI_SETSCREENSAVETIMEOUT, 1, nullptr, SPIF_SENDWININICHANGE);
    StartRestoreTimer(session, user);
}

void RestoreScreenSaver(CFVSession* session) {
    HOSTDATA* host = HostRecord(session);
    if (host == nullptr || !HostOptions(session).OptionA()) {
        return;
    }
    KillScreenSaverTimer(session);
    PutSavedSettingsBack(host);
}

}  // namespace farvane::hostpilot
