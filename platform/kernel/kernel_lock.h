// The one process-wide lock that guards the state of every kernel object, the handle table and
// the wait registrations. Critical sections hold it only for a few instructions, so an
// uncontended wait or signal costs two atomic operations and no system call.
//
// Threads whose waits were satisfied while the lock was held are woken only after it is
// released (see parking.h), so that they do not wake up just to block on the lock again.
#pragma once

#include <mutex>

namespace farvane::kernel {

std::mutex& KernelLock();

// Holds the kernel lock for a scope; releasing it sends the wake-ups queued meanwhile.
class KernelGuard {
public:
    KernelGuard() { lock(); }
    ~KernelGuard() {
        if (owns_) {
            unlock();
        }
    }
    KernelGuard(const KernelGuard&) = delete;
    KernelGuard& operator=(const KernelGuard&) = delete;

    void lock() {
        KernelLock().lock();
        owns_ = true;
    }
    void unlock();

private:
    bool owns_ = false;
};

}  // namespace farvane::kernel
