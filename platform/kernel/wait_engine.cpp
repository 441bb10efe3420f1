#include "platform/kernel/wait_engine.h"

#include <algorithm>

#include "platform/kernel/clock.h"
#include "platform/kernel/parking.h"
#include "platform/kernel/synch.h"
#include "platform/kernel/thread_record.h"

namespace farvane::kernel {

namespace {

// How often a wait that includes objects of other processes looks at them again: soon at
// first, then every 10 ms, so that a long wait (a whole session) costs little.
constexpr auto kFirstPollInterval = std::chrono::milliseconds(1);
constexpr auto kLongestPollInterval = std::chrono::milliseconds(10);

constexpr DWORD kNoIndex = 0xFFFFFFFFu;

DWORD TrySatisfyAny(ThreadRecord& thread, KernelObject* const* objects, DWORD count) {
    for (DWORD i = 0; i < count; ++i) {
        switch (objects[i]->TryAcquire(thread)) {
            case AcquireResult::Acquired:
                return WAIT_OBJECT_0 + i;
            case AcquireResult::Abandoned:
                return WAIT_ABANDONED_0 + i;
            case AcquireResult::NotSignalled:
                break;
        }
    }
    return WAIT_TIMEOUT;
}

DWORD TrySatisfyAll(ThreadRecord& thread, KernelObject* const* objects, DWORD count) {
    for (DWORD i = 0; i < count; ++i) {
        if (!objects[i]->IsSignalledFor(thread)) {
            return WAIT_TIMEOUT;
        }
    }
    // Objects whose acquisition may still fail go first, so that the others are taken only
    // once nothing can fail any more.
    DWORD abandonedIndex = kNoIndex;
    DWORD taken[MAXIMUM_WAIT_OBJECTS];
    DWORD takenCount = 0;
    for (DWORD i = 0; i < count; ++i) {
        if (!objects[i]->AcquireCanFail()) {
            continue;
        }
        if (objects[i]->TryAcquire(thread) == AcquireResult::NotSignalled) {
            for (DWORD t = 0; t < takenCount; ++t) {
                objects[taken[t]]->UndoAcquire(thread);
            }
            return WAIT_TIMEOUT;
        }
        taken[takenCount++] = i;
    }
    for (DWORD i = 0; i < count; ++i) {
        if (!objects[i]->AcquireCanFail() &&
            objects[i]->TryAcquire(thread) == AcquireResult::Abandoned) {
            abandonedIndex = std::min(abandonedIndex, i);
        }
    }
    return abandonedIndex == kNoIndex ? WAIT_OBJECT_0 : WAIT_ABANDONED_0 + abandonedIndex;
}

void Unregister(WaitBlock& block) {
    for (DWORD i = 0; i < block.count; ++i) {
        block.objects[i]->waiters.Remove(&block.nodes[i]);
    }
}

void Complete(WaitBlock& block, DWORD result, DWORD error) {
    Unregister(block);
    block.completed = true;
    block.result = result;
    block.error = error;
    QueueWake(*block.thread);
}

void Finish(WaitBlock& block, DWORD result) {
    Unregister(block);
    block.completed = true;
    block.result = result;
}

// Sleeps until the wait is handed its objects, cancelled or timed out. A polling wait also
// looks at its objects every few milliseconds, for changes made by other processes.
DWORD BlockedWait(KernelGuard& lock, WaitBlock& block, DWORD milliseconds, bool polling) {
    ThreadRecord& thread = *block.thread;
    for (DWORD i = 0; i < block.count; ++i) {
        block.nodes[i].block = &block;
        block.objects[i]->waiters.PushBack(&block.nodes[i]);
    }
    thread.blockedWait = &block;
    const bool forever = milliseconds == INFINITE;
    const auto deadline = forever ? RealClock::time_point::max() : RealDeadline(milliseconds);
    RealClock::duration pollInterval = kFirstPollInterval;
    while (!block.completed) {
        if (polling) {
            const DWORD result = TrySatisfy(thread, block.objects, block.count, block.waitAll);
            if (result != WAIT_TIMEOUT) {
                Finish(block, result);
                break;
            }
        }
        const auto now = RealClock::now();
        if (now >= deadline) {
            Finish(block, WAIT_TIMEOUT);
            break;
        }
        auto wakeAt = deadline;
        if (polling) {
            wakeAt = deadline - now > pollInterval ? now + pollInterval : deadline;
            pollInterval = std::min<RealClock::duration>(pollInterval * 2, kLongestPollInterval);
        }
        Park(lock, thread, &wakeAt);
    }
    thread.blockedWait = nullptr;
    return block.result;
}

}  // namespace

DWORD TrySatisfy(ThreadRecord& thread, KernelObject* const* objects, DWORD count, bool waitAll) {
    return waitAll ? TrySatisfyAll(thread, objects, count) : TrySatisfyAny(thread, objects, count);
}

void SignalWaiters(KernelObject& object) {
    WaitNode* node = object.waiters.Front();
    while (node != nullptr) {
        WaitBlock& block = *node->block;
        if (!object.IsSignalledFor(*block.thread)) {
            node = node->next;
            continue;
        }
        const DWORD result = TrySatisfy(*block.thread, block.objects, block.count, block.waitAll);
        if (result == WAIT_TIMEOUT) {
            node = node->next;
            continue;
        }
        Complete(block, result, ERROR_SUCCESS);
        // Completing a wait unlinks all of its nodes, possibly the next one here.
        node = object.waiters.Front();
    }
}

DWORD WaitLocked(KernelGuard& lock, ThreadRecord& thread, KernelObject* const* objects, DWORD count,
                 bool waitAll, DWORD milliseconds) {
    if (thread.cancelled.load(std::memory_order_relaxed)) {
        SetLastError(ERROR_OPERATION_ABORTED);
        return WAIT_FAILED;
    }
    const DWORD immediate = TrySatisfy(thread, objects, count, waitAll);
    if (immediate != WAIT_TIMEOUT || milliseconds == 0) {
        return immediate;
    }
    bool polling = false;
    for (DWORD i = 0; i < count; ++i) {
        AddReference(*objects[i]);
        polling = polling || objects[i]->NeedsPolling();
    }
    WaitBlock block;
    block.thread = &thread;
    block.objects = objects;
    block.count = count;
    block.waitAll = waitAll;
    const DWORD result = BlockedWait(lock, block, milliseconds, polling);
    for (DWORD i = 0; i < count; ++i) {
        ReleaseReference(objects[i]);
    }
    if (result == WAIT_FAILED) {
        SetLastError(block.error);
    }
    return result;
}

void SleepLocked(KernelGuard& lock, ThreadRecord& thread, DWORD milliseconds) {
    const auto deadline =
        milliseconds == INFINITE ? RealClock::time_point::max() : RealDeadline(milliseconds);
    while (!thread.cancelled.load(std::memory_order_relaxed) && RealClock::now() < deadline) {
        Park(lock, thread, &deadline);
    }
}

void CancelThread(ThreadRecord& thread) {
    thread.cancelled.store(true, std::memory_order_relaxed);
    if (thread.blockedWait != nullptr) {
        Complete(*thread.blockedWait, WAIT_FAILED, ERROR_OPERATION_ABORTED);
    } else {
        QueueWake(thread);
    }
}

}  // namespace farvane::kernel
