// The service managers the service programs construct. Until the managers run real sessions
// over the network, a manager's session is a stand-in that ends only when the session end
// event named after its session file is signalled, by anyone (the library, another program,
// a test), or after a delay that tests ask for.
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
    StartStandInSession("CRemoteSvcMgr", sessionFile, first, second, text);
}

COnlineSvcMgr::COnlineSvcMgr(const char* sessionFile, int value) {
    StartStandInSession("COnlineSvcMgr", sessionFile, value, 0, nullptr);
}
