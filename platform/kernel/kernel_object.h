// The base of every waitable object behind a handle, and the list of threads waiting on it.
//
// All object state is guarded by the one process-wide kernel lock (kernel_lock.h); a few calls
// that change nothing only read it without the lock (unlocked_access.h). A waiting
// thread registers one WaitNode per object it waits on; whoever makes an object signalled
// hands it over to the registered waiters (wait_engine.h), so only threads whose wait is
// satisfied are woken.
#pragma once

#include "platform/kernel/win_types.h"

namespace farvane::kernel {

struct ThreadRecord;
struct WaitBlock;

// One registration of a blocked wait on one object, linked into the object's WaitQueue.
struct WaitNode {
    WaitBlock* block = nullptr;
    WaitNode* previous = nullptr;
    WaitNode* next = nullptr;
    bool linked = false;
};

// First-in first-out list of the waits registered on one object.
class WaitQueue {
public:
    WaitNode* Front() const { return head_; }
    bool Empty() const { return head_ == nullptr; }
    void PushBack(WaitNode* node);
    void Remove(WaitNode* node);

private:
    WaitNode* head_ = nullptr;
    WaitNode* tail_ = nullptr;
};

enum class AcquireResult { NotSignalled, Acquired, Abandoned };

// What a handle names; the calls that work on one kind only check it before a static_cast.
enum class ObjectKind { Event, Mutex, Semaphore, Thread, NamedEvent, NamedSemaphore };

class KernelObject {
public:
    explicit KernelObject(ObjectKind kind) : kind(kind) {}
    KernelObject(const KernelObject&) = delete;
    KernelObject& operator=(const KernelObject&) = delete;
    virtual ~KernelObject() = default;

    // Whether a wait of `thread` would be satisfied now. Objects whose state lives in another
    // process may answer true optimistically; TryAcquire then decides.
    virtual bool IsSignalledFor(const ThreadRecord& thread) const = 0;
    // Takes the object for `thread` if it is signalled (consumes an auto-reset event, a
    // semaphore unit, takes a mutex).
    virtual AcquireResult TryAcquire(ThreadRecord& thread) = 0;
    // Gives back what a successful TryAcquire took. Only needed by objects whose
    // AcquireCanFail() is true: a wait for all rolls them back when a later one fails.
    virtual void UndoAcquire(ThreadRecord& thread) { (void)thread; }
    // True when IsSignalledFor may say yes and TryAcquire still fail.
    virtual bool AcquireCanFail() const { return false; }
    // True when the state can change without this process knowing (objects shared between
    // processes): waits that include it poll instead of sleeping until woken.
    virtual bool NeedsPolling() const { return false; }

    const ObjectKind kind;
    WaitQueue waiters;
    unsigned references = 1;
};

// Reference counting under the kernel lock: handles, blocked waits, owning threads and
// running threads each hold one reference.
inline void AddReference(KernelObject& object) {
    ++object.references;
}
void ReleaseReference(KernelObject* object);

}  // namespace farvane::kernel
