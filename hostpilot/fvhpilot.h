// Exports of the host pilot library fvhpilot, by name (C linkage, so that the session library
// finds them with dlsym).
#pragma once

#include "hostpilot/host_services.h"
#include "session/action.h"
#include "session/fv_session.h"

#define FV_EXPORT __attribute__((visibility("default")))

extern "C" {

// The host pilot's action function: called by the session library for every action addressed
// to PROC_HOSTPILOT. Returns 1 for every action; never blocks.
FV_EXPORT int hPilotActionFunc(CFVSession* session, CAction* action, int reserved);

// Returns `value` unchanged.
FV_EXPORT int hPilotFlowFunc(CFVSession* session, CAction* action, int value);

// Full path of the loaded library, as recorded when it was loaded.
FV_EXPORT const char* hPilotModulePath();

}  // extern "C"
