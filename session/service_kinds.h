// The kinds of service: remote control, script-driven remote control, online service, gateway
// and host. Each adds its fields after CFVService and keeps the base's operation order.
#pragma once

#include <cstdint>

#include "session/fv_service.h"

class CCallHost;
class COnlineService;
class CGateway;
class CBeHost;

// Remote control: one session, its call-host object and a word of the session library.
class CRemote : public CFVService {
public:
    CRemote() = default;
    CRemote(const CRemote& other) = default;
    CRemote& operator=(const CRemote& other) = default;
    ~CRemote() override = default;

    // There is only one session, whatever the argument.
    CFVSession* Session(int) override { return m_pSession; }
    void SessionDone(CFVSession* session) override;
    void SessionDeleted(CFVSession* session) override;

    CCallHost* CallHost() const { return m_pCallHost; }

private:
    friend struct CServiceKindsLayout;

    CFVSession* m_pSession = nullptr;
    CCallHost* m_pCallHost = nullptr;
    std::uint32_t m_Word = 0;
};

// Remote control driven by a script: one session.
class CScriptRemote : public CFVService {
public:
    CScriptRemote() = default;
    CScriptRemote(const CScriptRemote& other) = default;
    CScriptRemote& operator=(const CScriptRemote& other) = default;
    ~CScriptRemote() override = default;

    CFVSession* Session(int) override { return m_pSession; }
    void SessionDone(CFVSession* session) override;
    void SessionDeleted(CFVSession* session) override;

private:
    friend struct CServiceKindsLayout;

    CFVSession* m_pSession = nullptr;
};

// Online service: one session, the online service object and a word of the session library.
class COnline : public CFVService {
public:
    COnline() = default;
    COnline(const COnline& other) = default;
    COnline& operator=(const COnline& other) = default;
    ~COnline() override = default;

    CFVSession* Session(int) override { return m_pSession; }
    void SessionDone(CFVSession* session) override;
    void SessionDeleted(CFVSession* session) override;

    COnlineService* OnlineService() const { return m_pOnlineService; }

private:
    friend struct CServiceKindsLayout;

    CFVSession* m_pSession = nullptr;
    COnlineService* m_pOnlineService = nullptr;
    std::uint32_t m_Word = 0;
};

// Gateway: two paired sessions and the gateway object.
class CGatewaySvc : public CFVService {
public:
    CGatewaySvc() = default;
    CGatewaySvc(const CGatewaySvc& other) = default;
    CGatewaySvc& operator=(const CGatewaySvc& other) = default;
    ~CGatewaySvc() override = default;

    // Any non-zero argument selects the second session, 0 the first.
    CFVSession* Session(int which) override { return which != 0 ? m_pSecond : m_pFirst; }
    void SessionDone(CFVSession* session) override;

    CGateway*& BeGateway() { return m_pGateway; }

private:
    friend struct CServiceKindsLayout;

    CFVSession* m_pFirst = nullptr;
    CFVSession* m_pSecond = nullptr;
    CGateway* m_pGateway = nullptr;
};

// What a host service reaches its session through. Two words of the session library come
// first; the session sits where the third 32-bit word sits in the 32-bit record, at offset 8.
struct CHostCompanion {
    std::uint32_t Word0 = 0;
    std::uint32_t Word1 = 0;
    CFVSession* Session = nullptr;
};

// Host: the companion object, the video scanner value and the host object. The video scanner
// value holds the address of the session's scanner, so it is as wide as a pointer.
class CHost : public CFVService {
public:
    CHost() = default;
    explicit CHost(CHostCompanion* companion) : m_pCompanion(companion) {}
    CHost(CFVSvcMgr* manager, CHostCompanion* companion)
        : CFVService(manager), m_pCompanion(companion) {}
    ~CHost() override = default;

    // The companion's session; none while there is no companion.
    CFVSession* Session(int) override { return m_pCompanion ? m_pCompanion->Session : nullptr; }

    std::uintptr_t VideoScanner() const { return m_VideoScanner; }
    std::uintptr_t VideoScanner(std::uintptr_t value) { return m_VideoScanner = value; }
    CBeHost*& BeHost() { return m_pBeHost; }

private:
    friend struct CServiceKindsLayout;

    CHostCompanion* m_pCompanion = nullptr;
    std::uintptr_t m_VideoScanner = 0;
    CBeHost* m_pBeHost = nullptr;
};
