// A semaphore shared between processes, used as an instance limit. Each unit is a slot file
// in the runtime folder (<name>.sem.<i>); a unit is taken by locking a free slot with flock and
// keeping the descriptor. When a process ends, even by a crash, the kernel unlocks its slots,
// so its units come back by themselves.
#pragma once

#include <string>
#include <vector>

#include "platform/kernel/kernel_object.h"
#include "platform/kernel/shared_object_file.h"

namespace farvane::kernel {

class NamedSemaphoreObject final : public KernelObject {
public:
    NamedSemaphoreObject(std::string key, std::string path);
    ~NamedSemaphoreObject() override;

    // Creates the semaphore, the creator taking maximum - initial units, or opens it, keeping
    // the maximum of its creator.
    bool Open(LONG initialCount, LONG maximumCount, DWORD* error);
    bool Created() const { return file_.Created(); }

    // Whether a slot is free can only be learnt by locking it.
    bool IsSignalledFor(const ThreadRecord&) const override { return true; }
    AcquireResult TryAcquire(ThreadRecord& thread) override;
    void UndoAcquire(ThreadRecord& thread) override;
    bool AcquireCanFail() const override { return true; }
    bool NeedsPolling() const override { return true; }

    // Gives back `units` of the units this process holds; false (nothing changes) when it holds
    // fewer.
    bool Release(LONG units, LONG* previousCount);

private:
    std::string SlotPath(std::size_t slot) const;
    bool TakeSlot(std::size_t slot);
    // Unlocks the most recently taken `units` slots, without waking anybody.
    void GiveBack(LONG units);
    LONG CountFreeSlots() const;

    const std::string key_;
    const std::string path_;
    SharedObjectFile file_;
    std::vector<int> slotDescriptors_;
    std::vector<std::size_t> takenSlots_;
};

}  // namespace farvane::kernel
