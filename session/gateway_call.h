// The two callers' side of the gateway's preface, on a fresh TCP connection to the gateway:
// when these return kOk, the connection is the host's and the viewer's, and TLS starts on it
// as on a direct connection (the host as the TLS server, the viewer as the client).
#pragma once

#include <functional>
#include <string>

#include "platform/net/net_status.h"
#include "platform/net/tcp.h"
#include "platform/net/wake_up.h"

// The host: registers under `name`, tells `registered` once the gateway has taken it, and
// waits (until `cancel`) for a viewer. A gateway that is busy, refuses or goes away ends the
// call with kUnreachable, so the caller tries again later.
farvane::net::NetStatus RegisterAtGateway(farvane::net::TcpSocket& socket, const std::string& name,
                                          const farvane::net::WakeUp* cancel, int answerTimeoutMs,
                                          const std::function<void()>& registered);

// The viewer: asks for the host registered under `name`. kUnreachable with the gateway's
// reason when it does not pair the two.
farvane::net::NetStatus AskGatewayFor(farvane::net::TcpSocket& socket, const std::string& name,
                                      const farvane::net::WakeUp* cancel, int timeoutMs);
