#include "suite/fvses32/viewer_managers.h"

#include <map>
#include <mutex>

namespace farvane::viewer {

namespace {

struct ManagerSessions {
    std::mutex lock;
    std::map<const CFVSvcMgr*, std::unique_ptr<CViewerSession>> sessions;
};

ManagerSessions& Sessions() {
    static ManagerSessions* sessions = new ManagerSessions();  // outlives static destruction
    return *sessions;
}

}  // namespace

void StartManagerSession(const CFVSvcMgr* manager, ViewerSessionConfig config) {
    auto session = std::make_unique<CViewerSession>(std::move(config));
    ManagerSessions& all = Sessions();
    std::lock_guard guard(all.lock);
    all.sessions[manager] = std::move(session);
}

void StopManagerSession(const CFVSvcMgr* manager) {
    std::unique_ptr<CViewerSession> session;
    {
        ManagerSessions& all = Sessions();
        std::lock_guard guard(all.lock);
        auto found = all.sessions.find(manager);
        if (found == all.sessions.end()) {
            return;
        }
        session = std::move(found->second);
        all.sessions.erase(found);
    }
    session.reset();  // joins the session's thread outside the lock
}

}  // namespace farvane::viewer
