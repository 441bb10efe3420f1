// The viewer managers' sessions: what CRemoteSvcMgr and COnlineSvcMgr construct from their
// session files, and the sessions they hold. The manager classes add no fields (their layout
// is fixed), so each manager's session is kept here under the manager's address.
#pragma once

#include <memory>

#include "session/svc_mgr.h"
#include "suite/fvses32/viewer_session.h"

namespace farvane::viewer {

// The session of a remote control manager: calls the host of the callhost file at `path`. The
// L switch makes the session view-only. The X switch and its text are taken and change
// nothing: the text runs to the end of the command line, so it is also part of the path.
ViewerSessionConfig RemoteSessionConfig(const char* path, int xSwitch, int lSwitch,
                                        const char* xText);
// The session of an online service manager: waits at the OnlSvc file's address for one host
// that calls out. The L switch makes the session view-only.
ViewerSessionConfig OnlineSessionConfig(const char* path, int lSwitch);

// Starts `config`'s session for `manager` (throws std::bad_alloc when it cannot start).
void StartManagerSession(const CFVSvcMgr* manager, ViewerSessionConfig config);
// Stops the manager's session, if it has one (its destructor calls this).
void StopManagerSession(const CFVSvcMgr* manager);

}  // namespace farvane::viewer
