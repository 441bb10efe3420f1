// Calls that change nothing, done without the kernel lock: setting an event that is already
// signalled, waiting on a signalled manual-reset event, polling an unsignalled event. Producer
// and consumer threads make these calls all the time, and taking the one process-wide lock
// for them makes the threads queue up behind each other.
//
// Objects may be freed by a concurrent CloseHandle, so an unlocked reader publishes the object
// it looks at in its thread record's hazard (hazard pointers): the handle table checks that
// the handle still names the object after publishing, and an object whose last reference goes
// while some thread holds it as its hazard is freed later instead (RetireObject).
#pragma once

#include "platform/kernel/kernel_object.h"
#include "platform/kernel/thread_record.h"
#include "platform/kernel/win_types.h"

namespace farvane::kernel {

// The object a handle names, held as the calling thread's hazard for the life of this object;
// nullptr when the handle names nothing (or changed meanwhile: callers then take the lock).
// One at a time per thread.
class UnlockedObject {
public:
    explicit UnlockedObject(HANDLE handle);
    ~UnlockedObject();
    UnlockedObject(const UnlockedObject&) = delete;
    UnlockedObject& operator=(const UnlockedObject&) = delete;

    KernelObject* get() const { return object_; }

private:
    ThreadRecord& self_;
    KernelObject* object_;
};

// True when `handle` is a signalled event of this process, so that SetEvent has nothing to do.
bool EventAlreadySet(HANDLE handle);

// Ends a wait for one object without the lock where that takes nothing: a signalled
// manual-reset event (WAIT_OBJECT_0) or an unsignalled event polled with no time
// (WAIT_TIMEOUT). False: take the locked path.
bool TryWaitUnlocked(ThreadRecord& self, HANDLE handle, DWORD milliseconds, DWORD* result);

// Frees `object` (its last reference is gone), or keeps it for later while a thread holds it
// as its hazard. Called with the kernel lock held.
void RetireObject(KernelObject* object);

}  // namespace farvane::kernel
