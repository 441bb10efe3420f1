// What one call of the host pilot works on: the session and the two records in its slots.
#pragma once

#include "hostpilot/host_records.h"
#include "session/be_host.h"
#include "session/fv_session.h"

namespace farvane::hostpilot {

HostPilotUserData* UserRecord(CFVSession* session);
HOSTDATA* HostRecord(CFVSession* session);

// The host object of the session's owning service; null when the session has no host service
// or the service has no host object.
CBeHost* HostObject(CFVSession* session);

// The host options; all clear when there is no host object.
HOST_OPTIONS HostOptions(CFVSession* session);

// Posts `code` with parameter 0 from the host pilot to itself.
void Post(CFVSession* session, std::int32_t code);
// Gives the flow to `target` with `code` and `param`.
void GiveFlow(CFVSession* session, ePROC_ID target, std::int32_t code, std::uint32_t param);

}  // namespace farvane::hostpilot
