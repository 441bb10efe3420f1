#include "platform/kernel/semaphore_object.h"

#include "platform/kernel/wait_engine.h"

namespace farvane::kernel {

AcquireResult SemaphoreObject::TryAcquire(ThreadRecord&) {
    if (count_ <= 0) {
        return AcquireResult::NotSignalled;
    }
    --count_;
    return AcquireResult::Acquired;
}

bool SemaphoreObject::Release(LONG units, LONG* previousCount) {
    if (units > maximum_ - count_) {
        return false;
    }
    if (previousCount != nullptr) {
        *previousCount = count_;
    }
    count_ += units;
    if (!waiters.Empty()) {
        SignalWaiters(*this);
    }
    return true;
}

}  // namespace farvane::kernel
