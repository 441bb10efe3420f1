#include "platform/net/wake_up.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

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
    pollfd entry{fd_, POLLIN, 0};
    return poll(&entry, 1, 0) == 1;
}

}  // namespace farvane::net
