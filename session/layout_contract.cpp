// Compile-time checks of the record layouts that modules and the session library share. The
// offsets are those of this 64-bit build: 32-bit words stay 32 bits wide, pointers are native,
// and every field sits at its natural alignment in declaration order.
#include <cstddef>

#include "session/action.h"
#include "session/fv_service.h"
#include "session/fv_session.h"
#include "session/service_kinds.h"
#include "session/session_kinds.h"
#include "session/session_params.h"
#include "session/svc_mgr.h"

// The classes are polymorphic, hence not standard-layout; GCC and Clang still give their
// offsets, which is exactly what is checked here.
#pragma GCC diagnostic ignored "-Winvalid-offsetof"

struct CActionLayout {
    static_assert(offsetof(CAction, m_Link) == 8);
    static_assert(offsetof(CAction, m_Code) == 12);
    static_assert(offsetof(CAction, m_Param) == 16);
    static_assert(offsetof(CAction, m_Text) == 20);
    static_assert(offsetof(CAction, m_ProcID) == 284);
    static_assert(offsetof(CAction, m_SourceProcID) == 288);
    static_assert(offsetof(CAction, m_LParam) == 292);
    static_assert(offsetof(CAction, m_Func) == 296);
    static_assert(sizeof(CAction) == 304);
};

struct CSessionParamsLayout {
    static constexpr std::size_t kBlock = 8;  // right after the table of virtual operations
    static constexpr std::size_t kTextA = kBlock + CSessionParamBlock::kSize;
    static_assert(offsetof(CSessionParams, Bytes) == kBlock);
    static_assert(offsetof(CSessionParams, m_TextA) == kTextA);
    static_assert(offsetof(CSessionParams, m_TextB) == kTextA + 26);
    static_assert(offsetof(CSessionParams, m_TextC) == kTextA + 26 + 261);
    static_assert(offsetof(CSessionParams, m_TextD) == kTextA + 26 + 261 + 25);
    static_assert(offsetof(CSessionParams, m_TextE) == kTextA + 26 + 261 + 25 + 25);
    static_assert(offsetof(CSessionParams, m_RemoteDriveMap) == kTextA + 368);
    static_assert(offsetof(CSessionParams, m_IsOnlSvc) == kTextA + 396);
};

struct CFVSvcMgrLayout {
    static_assert(offsetof(CFVSvcMgr, m_NTService) == 8);
    static_assert(offsetof(CFVSvcMgr, m_hwndMain) == 16);
    static_assert(sizeof(CHostSvcMgr) == sizeof(CFVSvcMgr));
    static_assert(sizeof(CRemoteSvcMgr) == sizeof(CFVSvcMgr));
    static_assert(sizeof(COnlineSvcMgr) == sizeof(CFVSvcMgr));
    static_assert(sizeof(CGatewaySvcMgr) == sizeof(CFVSvcMgr));
};

struct CFVServiceLayout {
    static_assert(offsetof(CFVService, m_pFVSvcMgr) == 8);
    static_assert(offsetof(CFVService, m_Area) == 16);
    static_assert(sizeof(CFVService) == 536);
};

struct CServiceKindsLayout {
    static constexpr std::size_t kBase = sizeof(CFVService);
    static_assert(offsetof(CRemote, m_pSession) == kBase);
    static_assert(offsetof(CRemote, m_pCallHost) == kBase + 8);
    static_assert(offsetof(CRemote, m_Word) == kBase + 16);
    static_assert(offsetof(CScriptRemote, m_pSession) == kBase);
    static_assert(sizeof(CScriptRemote) == kBase + 8);
    static_assert(offsetof(COnline, m_pSession) == kBase);
    static_assert(offsetof(COnline, m_pOnlineService) == kBase + 8);
    static_assert(offsetof(COnline, m_Word) == kBase + 16);
    static_assert(offsetof(CGatewaySvc, m_pFirst) == kBase);
    static_assert(offsetof(CGatewaySvc, m_pSecond) == kBase + 8);
    static_assert(offsetof(CGatewaySvc, m_pGateway) == kBase + 16);
    static_assert(offsetof(CHost, m_pCompanion) == kBase);
    static_assert(offsetof(CHost, m_VideoScanner) == kBase + 8);
    static_assert(offsetof(CHost, m_pBeHost) == kBase + 16);
    static_assert(offsetof(CHostCompanion, Session) == 8);
};

struct CSessionKindsLayout {
    static_assert(offsetof(CGatewaySession, m_pOtherSession) == sizeof(CFVSession));
    static_assert(sizeof(CPlaybackSession) == sizeof(CFVSession));
};
