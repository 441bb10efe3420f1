// The one process-wide lock that guards the state of every kernel object, the handle table and
// the wait registrations. Critical sections hold it only for a few instructions, so an
// uncontended wait or signal costs two atomic operations and no system call.
//
// Threads whose waits were satisfied while the lock was held are woken only after it is
// released (see parking.h), so that they do not wake up just to block on the lock again.
#pragma once

#include <pthread.h>

namespace farvane::kernel {

// An adaptive mutex: it spins a little before sleeping, since it is held only for a few
// instructions and a producer and a consumer on two cores would otherwise keep putting each
// other to sleep.
class KernelMutex {
public:
    void lock() { pthread_mutex_lock(&mutex_); }
    void unlock() { pthread_mutex_unlock(&mutex_); }

private:
    pthread_mutex_t mutex_ = PTHREAD_ADAPTIVE_MUTEX_INITIALIZER_NP;
};

KernelMutex& KernelLock();

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
