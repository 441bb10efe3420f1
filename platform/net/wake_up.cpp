#include "platform/net/wake_up.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>

namespace farvane::net {

WakeUp::WakeUp() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

WakeUp::~WakeUp() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

void WakeUp::Signal() {
    std::uint64_t one = 1;
    // A full counter is still readable, which is all a waiter needs.
    [[maybe_unused]] ssize_t written = write(fd_, &one, sizeof one);
}

void WakeUp::Reset() {
    std::uint64_t value = 0;
    [[maybe_unused]] ssize_t taken = read(fd_, &value, sizeof value);
}

bool WakeUp::IsSignalled() const {
    return Wait(0);
}

bool WakeUp::Wait(int timeoutMs) const {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        pollfd entry{fd_, POLLIN, 0};
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
        int ready = poll(&entry, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
        if (ready >= 0 || errno != EINTR) {
            return ready == 1;
        }
    }
}

}  // namespace farvane::net
