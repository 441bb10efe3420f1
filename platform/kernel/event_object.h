// Events of this process: manual-reset (stays signalled until reset, releases every waiter) or
// auto-reset (releases exactly one waiter per signal, or stays signalled until one comes).
#pragma once

#include "platform/kernel/kernel_object.h"

namespace farvane::kernel {

class EventObject final : public KernelObject {
public:
    EventObject(bool manualReset, bool signalled)
        : KernelObject(ObjectKind::Event), manualReset_(manualReset), signalled_(signalled) {}

    bool IsSignalledFor(const ThreadRecord&) const override { return signalled_; }
    AcquireResult TryAcquire(ThreadRecord& thread) override;

    void Set();
    void Reset() { signalled_ = false; }

private:
    const bool manualReset_;
    bool signalled_;
};

}  // namespace farvane::kernel
