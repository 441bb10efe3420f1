#include "platform/kernel/event_object.h"

#include "platform/kernel/wait_engine.h"

namespace farvane::kernel {

AcquireResult EventObject::TryAcquire(ThreadRecord&) {
    if (!signalled_) {
        return AcquireResult::NotSignalled;
    }
    if (!manualReset_) {
        signalled_ = false;
    }
    return AcquireResult::Acquired;
}

void EventObject::Set() {
    signalled_ = true;
    if (!waiters.Empty()) {
        SignalWaiters(*this);
    }
}

}  // namespace farvane::kernel
