#include "platform/kernel/kernel_lock.h"

#include "platform/kernel/parking.h"

namespace farvane::kernel {

namespace {
// Constant-initialised and trivially destructible: usable from any static constructor or
// thread exit, in any order.
constinit KernelMutex kernelLock;
}  // namespace

KernelMutex& KernelLock() {
    return kernelLock;
}

void KernelGuard::unlock() {
    owns_ = false;
    kernelLock.unlock();
    SendQueuedWakes();
}

}  // namespace farvane::kernel
