// Default handlers of the service operations. They belong to the session library, which gives
// the real ones; these are weak so that its definitions take precedence at link time, and they
// do nothing, so that services can be built and tested without it.
#include "session/fv_service.h"
#include "session/service_kinds.h"

#define FV_REPLACEABLE __attribute__((weak))

FV_REPLACEABLE void CFVService::SessionDone(CFVSession*) {}
FV_REPLACEABLE void CFVService::SessionDeleted(CFVSession*) {}
FV_REPLACEABLE void CFVService::SessionConnect(CFVSession*) {}
FV_REPLACEABLE void CFVService::SessionDisconnect(CFVSession*) {}

FV_REPLACEABLE void CRemote::SessionDone(CFVSession*) {}
FV_REPLACEABLE void CRemote::SessionDeleted(CFVSession*) {}
FV_REPLACEABLE void CScriptRemote::SessionDone(CFVSession*) {}
FV_REPLACEABLE void CScriptRemote::SessionDeleted(CFVSession*) {}
FV_REPLACEABLE void COnline::SessionDone(CFVSession*) {}
FV_REPLACEABLE void COnline::SessionDeleted(CFVSession*) {}
FV_REPLACEABLE void CGatewaySvc::SessionDone(CFVSession*) {}
