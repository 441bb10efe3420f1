#include "platform/net/fd_wait.h"

#include <poll.h>

#include <cerrno>
#include <chrono>

namespace farvane::net {

NetCode WaitForSocket(int fd, short events, const WakeUp* cancel, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        pollfd entries[2] = {{fd, events, 0}, {cancel ? cancel->fd() : -1, POLLIN, 0}};
        int wait = timeoutMs;
        if (timeoutMs >= 0) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
            wait = left.count() > 0 ? static_cast<int>(left.count()) : 0;
        }
        int ready = poll(entries, cancel ? 2 : 1, wait);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return NetCode::kIoFailed;
        }
        if (cancel && (entries[1].revents & POLLIN)) {
            return NetCode::kCancelled;
        }
        if (ready == 0) {
            return NetCode::kTimedOut;
        }
        return NetCode::kOk;
    }
}

}  // namespace farvane::net
