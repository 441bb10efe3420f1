#include "hostpilot/host_context.h"

#include "session/service_kinds.h"

namespace farvane::hostpilot {

HostPilotUserData* UserRecord(CFVSession* session) {
    return reinterpret_cast<HostPilotUserData*>(session->UserData(PROC_HOSTPILOT));
}

HOSTDATA* HostRecord(CFVSession* session) {
    return reinterpret_cast<HOSTDATA*>(session->GlobalProcData());
}

CBeHost* HostObject(CFVSession* session) {
    auto* host = dynamic_cast<CHost*>(session->m_pService);
    return host != nullptr ? host->BeHost() : nullptr;
}

HOST_OPTIONS HostOptions(CFVSession* session) {
    CBeHost* host = HostObject(session);
    return host != nullptr ? host->Options() : HOST_OPTIONS{};
}

void Post(CFVSession* session, std::int32_t code) {
    session->SetAction(PROC_HOSTPILOT, PROC_HOSTPILOT, code, 0);
}

void GiveFlow(CFVSession* session, ePROC_ID target, std::int32_t code, std::uint32_t param) {
    session->PushFlowAction(target, PROC_HOSTPILOT, code, param);
}

}  // namespace farvane::hostpilot
