#include "platform/kernel/event_object.h"

#include "platform/kernel/wait_engine.h"

namespace farvane::kernel {

AcquireResult EventObject::TryAcquire(ThreadRecord&) {
    if (!signalled_.load(std::memory_order_relaxed)) {
        return AcquireResult::NotSignalled;
    }
    if (!manualReset_) {
        signalled_.store(false, std::memory_order_seq_cst);
    }
    return AcquireResult::Acquired;
}

void EventObject::Set() {
    signalled_.store(true, std::memory_order_seq_cst);
    if (!waiters.Empty()) {
        SignalWaiters(*this);
    }
}

}  // namespace farvane::kernel
