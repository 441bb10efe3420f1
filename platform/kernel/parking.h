// How threads sleep in the layer and are woken: each thread record has a wake counter, and a
// thread that must wait sleeps on it with a futex. A thread that satisfies another's wait
// (holding the kernel lock) queues the wake-up; it is sent when the kernel lock is released,
// with a system call only if the other thread really went to sleep. Before sleeping, a thread
// spins for a while that adapts to how soon its wake-ups have been coming (spin_budget.h).
//
// Thread records are never freed (thread_record.h), so a wake-up that arrives after its thread
// already went on is harmless: every sleeper looks at its condition again when it wakes.
#pragma once

#include "platform/kernel/clock.h"
#include "platform/kernel/kernel_lock.h"

namespace farvane::kernel {

struct ThreadRecord;

// Called with the kernel lock held.
void QueueWake(ThreadRecord& thread);

// Sends the wake-ups this thread queued; called right after it releases the kernel lock.
void SendQueuedWakes();

// Releases the kernel lock, sleeps until woken or until `deadline` (none: no time limit), and
// takes the lock again. The caller loops on its own condition.
void Park(KernelGuard& lock, ThreadRecord& self, const RealClock::time_point* deadline);

}  // namespace farvane::kernel
