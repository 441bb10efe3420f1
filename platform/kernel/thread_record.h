// What the layer knows about each thread that uses it: its id, the counter it sleeps on
// (parking.h), the wait it is blocked in, the mutexes it owns and whether it was cancelled.
//
// Threads started by CreateThread get their record from their thread object; any other
// thread gets one on its first call into the layer, and a thread-local guard abandons the
// mutexes it still owns when it ends. All fields are guarded by the kernel lock, except
// `cancelled`, which is also read without it, `wakeCount` and `parked` (parking.cpp), and
// `spinBudget`, which only the thread itself uses, and `hazard` (unlocked_access.h).
//
// Records are never freed but reused, so that a late wake-up never touches freed memory.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "platform/kernel/spin_budget.h"
#include "platform/kernel/win_types.h"

namespace farvane::kernel {

class KernelObject;
class ThreadObject;
struct WaitBlock;

struct ThreadRecord {
    DWORD id = 0;
    std::atomic<std::uint32_t> wakeCount{0};
    std::atomic<std::uint32_t> parked{0};
    SpinBudget spinBudget;
    std::atomic<bool> cancelled{false};
    WaitBlock* blockedWait = nullptr;
    std::vector<KernelObject*> ownedMutexes;
    ThreadObject* object = nullptr;
    // On a cache line of its own: the thread writes it on every unlocked call, and the waker's
    // writes to `wakeCount` should not move the line away meanwhile.
    alignas(64) std::atomic<KernelObject*> hazard{nullptr};
    // The next of all records ever made; set before the record is published, never changed.
    ThreadRecord* nextRecord = nullptr;
};

// Whether any thread has published `object` as its hazard (unlocked_access.h).
bool AnyThreadHolds(const KernelObject* object);

// A record with a new thread id, fresh or reused.
ThreadRecord* NewThreadRecord();
// Returns a record for reuse once its thread has ended and nothing refers to it any more.
void RecycleThreadRecord(ThreadRecord* record);

// The calling thread's record, created on first use.
ThreadRecord& CurrentThread();

// Makes `record` the calling thread's record (the thread body of CreateThread does this before
// anything else), or forgets it again when the thread has finished.
void AttachThreadRecord(ThreadRecord* record);
void DetachThreadRecord();

}  // namespace farvane::kernel
