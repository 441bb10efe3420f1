// Events of this process: manual-reset (stays signalled until reset, releases every waiter) or
// auto-reset (releases exactly one waiter per signal, or stays signalled until one comes).
#pragma once

#include <atomic>

#include "platform/kernel/kernel_object.h"

namespace farvane::kernel {

class EventObject final : public KernelObject {
public:
    EventObject(bool manualReset, bool signalled)
        : KernelObject(ObjectKind::Event), manualReset_(manualReset), signalled_(signalled) {}

    bool IsSignalledFor(const ThreadRecord&) const override {
        return signalled_.load(std::memory_order_relaxed);
    }
    AcquireResult TryAcquire(ThreadRecord& thread) override;

    void Set();
    void Reset() { signalled_.store(false, std::memory_order_seq_cst); }

    bool ManualReset() const { return manualReset_; }
    // For readers without the kernel lock (unlocked_access.h).
    bool SignalledUnlocked() const { return signalled_.load(std::memory_order_seq_cst); }

private:
    const bool manualReset_;
    // Written only with the kernel lock held; also read without it.
    std::atomic<bool> signalled_;
};

}  // namespace farvane::kernel
