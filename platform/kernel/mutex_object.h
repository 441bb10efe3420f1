// Mutexes: owned by one thread at a time, re-entrant for the owner (each acquisition needs one
// release), released only by the owner. A mutex whose owner ends without releasing it is
// abandoned: the next thread to get it learns so from WAIT_ABANDONED.
#pragma once

#include "platform/kernel/kernel_object.h"

namespace farvane::kernel {

class MutexObject final : public KernelObject {
public:
    MutexObject() : KernelObject(ObjectKind::Mutex) {}

    bool IsSignalledFor(const ThreadRecord& thread) const override;
    AcquireResult TryAcquire(ThreadRecord& thread) override;

    // False when `thread` does not own the mutex.
    bool Release(ThreadRecord& thread);
    // The owner has ended: free the mutex and mark it abandoned.
    void Abandon();

private:
    ThreadRecord* owner_ = nullptr;
    DWORD recursion_ = 0;
    bool abandoned_ = false;
};

// Abandons every mutex that `thread` still owns; called when the thread ends.
void AbandonOwnedMutexes(ThreadRecord& thread);

}  // namespace farvane::kernel
