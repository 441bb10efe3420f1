// The service managers the service programs construct. The remote control and online service
// managers run viewer sessions over the network (viewer_managers.h). When a test asks for it
// with one of the settings below, a manager's session is instead a stand-in that ends only
// when the session end event named after its session file is signalled, by anyone (the
// library, another program, a test), or after a delay that tests ask for.
//
// Settings read only by tests (environment):
//   FARVANE_TEST_SVCMGR_FAIL=1       construction throws std::bad_alloc, as out of memory would
//   FARVANE_TEST_SVCMGR_END_MS=N     the session ends (the end event is signalled) after N ms
//   FARVANE_TEST_SVCMGR_REPORT=NAME  each construction posts its arguments to notification
//                                    channel NAME: "<class>|<path>|<int>|<int>|<text or (null)>"
#include <algorithm>
#include <cstdlib>
#include <new>
#include <string>

#include "platform/kernel/notification.h"
#include "platform/kernel/synch.h"
#include "platform/kernel/thread.h"
#include "session/session_end_event.h"
#include "session/svc_mgr.h"
#include "suite/fvses32/stand_in_session.h"
#include "suite/fvses32/viewer_managers.h"

namespace {

const char* TestSetting(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

void ReportConstruction(const char* kind, const char* path, int first, int second,
                        const char* text) {
    const char* channel = TestSetting("FARVANE_TEST_SVCMGR_REPORT");
    if (!channel) {
        return;
    }
    std::string message = std::string(kind) + "|" + (path ? path : "(null)") + "|" +
                          std::to_string(first) + "|" + std::to_string(second) + "|" +
                          (text ? text : "(null)");
    message.resize(std::min(message.size(), NOTIFICATION_MAX_MESSAGE));
    NotificationPost(channel, message.c_str());
}

struct DelayedEnd {
    std::string eventName;
    DWORD delayMs;
};

DWORD SignalEndLater(LPVOID parameter) {
    auto* end = static_cast<DelayedEnd*>(parameter);
    Sleep(end->delayMs);
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, end->eventName.c_str());
    // The handle stays open: an event nobody holds goes away, and the worker that waits for
    // it may not have opened it yet.
    if (event) {
        SetEvent(event);
    }
    delete end;
    return 0;
}

// A test asked for the stand-in session.
bool StandInRequested() {
    return TestSetting("FARVANE_TEST_SVCMGR_FAIL") || TestSetting("FARVANE_TEST_SVCMGR_END_MS") ||
           TestSetting("FARVANE_TEST_SVCMGR_REPORT");
}

}  // namespace

void StartStandInSession(const char* kind, const char* path, int first, int second,
                         const char* text) {
    if (TestSetting("FARVANE_TEST_SVCMGR_FAIL")) {
        throw std::bad_alloc();
    }
    ReportConstruction(kind, path, first, second, text);
    if (const char* delay = TestSetting("FARVANE_TEST_SVCMGR_END_MS"); delay && path) {
        auto* end = new DelayedEnd{SessionEndEventName(path),
                                   static_cast<DWORD>(std::strtoul(delay, nullptr, 10))};
        HANDLE thread = CreateThread(nullptr, 0, SignalEndLater, end, 0, nullptr);
        if (thread) {
            CloseHandle(thread);
        } else {
            delete end;
        }
    }
}

CRemoteSvcMgr::CRemoteSvcMgr(const char* sessionFile, int first, int second, const char* text) {
    if (StandInRequested()) {
        StartStandInSession("CRemoteSvcMgr", sessionFile, first, second, text);
        return;
    }
    farvane::viewer::StartManagerSession(
        this, farvane::viewer::RemoteSessionConfig(sessionFile, first, second, text));
}

CRemoteSvcMgr::~CRemoteSvcMgr() {
    farvane::viewer::StopManagerSession(this);
}

COnlineSvcMgr::COnlineSvcMgr(const char* sessionFile, int value) {
    if (StandInRequested()) {
        StartStandInSession("COnlineSvcMgr", sessionFile, value, 0, nullptr);
        return;
    }
    farvane::viewer::StartManagerSession(this,
                                         farvane::viewer::OnlineSessionConfig(sessionFile, value));
}

COnlineSvcMgr::~COnlineSvcMgr() {
    farvane::viewer::StopManagerSession(this);
}
