// Waiting for one socket to become ready, ended early by a wake-up.
#pragma once

#include "platform/net/net_status.h"
#include "platform/net/wake_up.h"

namespace farvane::net {

// Waits until `fd` has one of `events` (POLLIN, POLLOUT), or an error or hang-up (reported as
// ready, so the caller's next call sees the error), for at most `timeoutMs` (-1: no limit).
// kCancelled when `cancel` (may be null) is signalled.
NetCode WaitForSocket(int fd, short events, const WakeUp* cancel, int timeoutMs);

}  // namespace farvane::net
