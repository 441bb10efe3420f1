// Waiting on kernel objects: the wait for any or all of a set of objects, its hand-over when an
// object becomes signalled, and the cancellation of a thread's waits.
//
// A wait that cannot be satisfied at once registers a node on each object and sleeps on its
// thread's condition variable. Whoever makes an object signalled calls SignalWaiters, which
// satisfies registered waits in arrival order (taking the objects for them) and wakes exactly
// those threads. Waits that include objects shared with other processes poll instead.
// Everything here runs with the kernel lock held.
#pragma once

#include "platform/kernel/kernel_lock.h"
#include "platform/kernel/kernel_object.h"
#include "platform/kernel/win_types.h"

namespace farvane::kernel {

struct WaitBlock {
    ThreadRecord* thread = nullptr;
    KernelObject* const* objects = nullptr;
    DWORD count = 0;
    bool waitAll = false;
    bool completed = false;
    DWORD result = WAIT_TIMEOUT;
    DWORD error = ERROR_SUCCESS;
    WaitNode nodes[MAXIMUM_WAIT_OBJECTS];
};

// Takes the objects for `thread` if the wait is satisfied now: WAIT_OBJECT_0 + i or
// WAIT_ABANDONED_0 + i; WAIT_TIMEOUT when it is not.
DWORD TrySatisfy(ThreadRecord& thread, KernelObject* const* objects, DWORD count, bool waitAll);

// Hands `object` to the registered waits it can now satisfy.
void SignalWaiters(KernelObject& object);

// The whole wait, with the lock held on entry and exit (it is released while sleeping).
// On WAIT_FAILED the thread's last error is set.
DWORD WaitLocked(KernelGuard& lock, ThreadRecord& thread, KernelObject* const* objects, DWORD count,
                 bool waitAll, DWORD milliseconds);

// Sleeps for `milliseconds` of the layer's clock or until the thread is cancelled.
void SleepLocked(KernelGuard& lock, ThreadRecord& thread, DWORD milliseconds);

// Marks `thread` cancelled and ends the wait or sleep it is in.
void CancelThread(ThreadRecord& thread);

}  // namespace farvane::kernel
