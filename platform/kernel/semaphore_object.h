// Semaphores of this process: a count between 0 and a maximum; each satisfied wait takes one
// unit, ReleaseSemaphore gives units back.
#pragma once

#include "platform/kernel/kernel_object.h"

namespace farvane::kernel {

class SemaphoreObject final : public KernelObject {
public:
    SemaphoreObject(LONG count, LONG maximum)
        : KernelObject(ObjectKind::Semaphore), count_(count), maximum_(maximum) {}

    bool IsSignalledFor(const ThreadRecord&) const override { return count_ > 0; }
    AcquireResult TryAcquire(ThreadRecord& thread) override;

    // Adds `units` (already checked to be positive); false when that would pass the maximum,
    // and then nothing changes.
    bool Release(LONG units, LONG* previousCount);

private:
    LONG count_;
    const LONG maximum_;
};

}  // namespace farvane::kernel
