// The base of every service object. A service belongs to a service manager and serves the
// sessions the manager creates; the session library calls the operations below as its sessions
// end, are deleted, connect and disconnect.
#pragma once

#include <cstdint>

#include "session/svc_mgr.h"

class CFVSession;

// Layout: table of virtual operations, owning manager, 520-byte area of the session library.
// Operation order: destructor, Session, SessionDone, SessionDeleted, SessionConnect,
// SessionDisconnect. Kinds keep that order and add their fields after the base.
class CFVService {
public:
    static constexpr int kAreaSize = 520;

    CFVService() = default;
    explicit CFVService(CFVSvcMgr* manager) : m_pFVSvcMgr(manager) {}
    // Copies share the manager (shallow) and carry the whole library area.
    CFVService(const CFVService& other) = default;
    CFVService& operator=(const CFVService& other) = default;
    virtual ~CFVService() = default;

    virtual CFVSession* Session(int which) = 0;
    // The session library's handlers; the modules never call them.
    virtual void SessionDone(CFVSession* session);
    virtual void SessionDeleted(CFVSession* session);
    virtual void SessionConnect(CFVSession* session);
    virtual void SessionDisconnect(CFVSession* session);

    CFVSvcMgr* FVSvcMgr() const { return m_pFVSvcMgr; }
    // 0 for a service that has no manager (yet).
    std::int32_t NTService() const { return m_pFVSvcMgr ? m_pFVSvcMgr->NTService() : 0; }

private:
    friend struct CFVServiceLayout;

    CFVSvcMgr* m_pFVSvcMgr = nullptr;
    char m_Area[kAreaSize] = {};
};
