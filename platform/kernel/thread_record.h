// What the layer knows about each thread that uses it: its id, the condition variable it
// sleeps on, the wait it is blocked in, the mutexes it owns and whether it was cancelled.
//
// Threads started by CreateThread get their record from their thread object; any other
// thread gets one on its first call into the layer, and a thread-local guard abandons the
// mutexes it still owns when it ends. All fields are guarded by the kernel lock, except
// `cancelled`, which is also read without it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <vector>

#include "platform/kernel/win_types.h"

namespace farvane::kernel {

class KernelObject;
class ThreadObject;
struct WaitBlock;

struct ThreadRecord {
    ThreadRecord();

    const DWORD id;
    std::condition_variable wake;
    std::atomic<bool> cancelled{false};
    WaitBlock* blockedWait = nullptr;
    std::vector<KernelObject*> ownedMutexes;
    ThreadObject* object = nullptr;
};

// The calling thread's record, created on first use.
ThreadRecord& CurrentThread();

// Makes `record` the calling thread's record (the thread body of CreateThread does this before
// anything else), or forgets it again when the thread has finished.
void AttachThreadRecord(ThreadRecord* record);
void DetachThreadRecord();

}  // namespace farvane::kernel
