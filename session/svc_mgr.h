// Service managers: the objects a service program creates inside the session library.
#pragma once

#include <cstdint>

#include "platform/kernel/win_types.h"

// Layout after the table of virtual operations: NTService, then the main window handle. The
// session library keeps its own state in its derived code; the kinds below add no fields.
class CFVSvcMgr {
public:
    CFVSvcMgr() = default;
    virtual ~CFVSvcMgr() = default;

    // Non-zero when the module runs as a system service.
    std::int32_t NTService() const { return m_NTService; }
    std::int32_t SetNTService(int ntService) { return m_NTService = ntService; }
    HWND GethwndMain() const { return m_hwndMain; }
    void SethwndMain(HWND hwnd) { m_hwndMain = hwnd; }

private:
    friend struct CFVSvcMgrLayout;

    std::int32_t m_NTService = 0;
    HWND m_hwndMain = nullptr;
};

// The kinds. Their constructors with arguments are the session library's: it creates the
// manager's sessions and services from the session file. They may throw std::bad_alloc, which
// the service program catches.
class CHostSvcMgr : public CFVSvcMgr {
public:
    CHostSvcMgr() = default;
};

class CRemoteSvcMgr : public CFVSvcMgr {
public:
    CRemoteSvcMgr() = default;
    CRemoteSvcMgr(const char* sessionFile, int first, int second, const char* text);
    ~CRemoteSvcMgr() override;
};

class COnlineSvcMgr : public CFVSvcMgr {
public:
    COnlineSvcMgr() = default;
    COnlineSvcMgr(const char* sessionFile, int value);
    ~COnlineSvcMgr() override;
};

class CGatewaySvcMgr : public CFVSvcMgr {
public:
    CGatewaySvcMgr() = default;
    explicit CGatewaySvcMgr(const char* sessionFile);
    // Ends the manager's session, if it still runs.
    ~CGatewaySvcMgr() override;
};
