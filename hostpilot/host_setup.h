// Setting the host up and tearing it down, and the operations the host pilot's state machine
// runs on its records between the two.
#pragma once

#include "session/fv_session.h"

namespace farvane::hostpilot {

// Allocates and stores the two records, opens the host device or makes a local CB block,
// opens the configuration, fills in the connection parameters and adjusts the session window.
// False on failure; what was stored stays in the session's slots for TearDown.
bool HostStartUp(CFVSession* session);

// Fills in the connection parameters for the next connection step in `waitMode`.
void PrepareWaitParams(CFVSession* session, std::uint32_t waitMode);

// On a release of the line: the CB session items back to idle, the text emptied, the video
// event closed.
void ResetSessionItems(CFVSession* session);

// Clears HOSTDATA for a new host session (keeping what lives as long as the host) and creates
// its video event. False on failure.
bool PrepareHostDataForSession(CFVSession* session);

// Restarts the computer when this process may. Returns whether the restart was asked for.
bool RestartComputer(CFVSession* session);

// Kills the timers and frees both records and what they own; safe with either record missing.
void TearDown(CFVSession* session);

}  // namespace farvane::hostpilot
