// The screen saver while the host waits for a caller: switched on with a one-second time-out so
// that the desk is covered quickly, and put back as it was when the caller is connected or
// after 15 seconds, whichever comes first. Only for hosts with option A.
#pragma once

#include "session/fv_session.h"

namespace farvane::hostpilot {

void ApplyWaitScreenSaver(CFVSession* session);
// Puts the saved settings back when the connection step has ended. A pending restore timer is
// ended first: it has nothing left to do, and firing later it would restore from values that
// the preparation of a host session has cleared meanwhile.
void RestoreScreenSaver(CFVSession* session);

// Ends the restore timer if one is pending.
void KillScreenSaverTimer(CFVSession* session);

}  // namespace farvane::hostpilot
