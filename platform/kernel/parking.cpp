#include "platform/kernel/parking.h"

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <sched.h>

#include <atomic>
#include <climits>
#include <ctime>

#include "platform/kernel/cpu_relax.h"
#include "platform/kernel/thread_record.h"

namespace farvane::kernel {

namespace {

// Most signals wake one thread. Trivially destructible, since threads still use it while their
// thread-local objects are destroyed.
struct WakeQueue {
    static constexpr int kCapacity = 16;
    ThreadRecord* threads[kCapacity];
    int count;
};

constinit thread_local WakeQueue queuedWakes{};

std::uint32_t* FutexWord(ThreadRecord& thread) {
    static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t));
    return reinterpret_cast<std::uint32_t*>(&thread.wakeCount);
}

timespec ToTimespec(RealClock::time_point moment) {
    const auto since = moment.time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
    timespec result{};
    result.tv_sec = static_cast<time_t>(seconds.count());
    result.tv_nsec = static_cast<long>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(since - seconds).count());
    return result;
}

// The counter is raised before `parked` is read, and a sleeper sets `parked` before it reads
// the counter a last time (all sequentially consistent): either the sleeper sees the new count
// and does not sleep, or the waker sees it parked and wakes it.
void Wake(ThreadRecord& thread) {
    thread.wakeCount.fetch_add(1, std::memory_order_seq_cst);
    if (thread.parked.load(std::memory_order_seq_cst) != 0) {
        syscall(SYS_futex, FutexWord(thread), FUTEX_WAKE_PRIVATE, INT_MAX, nullptr, nullptr, 0);
    }
}

void SleepOnWakeCount(ThreadRecord& self, std::uint32_t seen,
                      const RealClock::time_point* deadline) {
    self.parked.store(1, std::memory_order_seq_cst);
    if (self.wakeCount.load(std::memory_order_seq_cst) == seen) {
        if (deadline == nullptr || *deadline == RealClock::time_point::max()) {
            syscall(SYS_futex, FutexWord(self), FUTEX_WAIT_PRIVATE, seen, nullptr, nullptr, 0);
        } else {
            // FUTEX_WAIT_BITSET takes an absolute CLOCK_MONOTONIC time, the steady clock's.
            const timespec until = ToTimespec(*deadline);
            syscall(SYS_futex, FutexWord(self), FUTEX_WAIT_BITSET_PRIVATE, seen, &until, nullptr,
                    FUTEX_BITSET_MATCH_ANY);
        }
    }
    self.parked.store(0, std::memory_order_relaxed);
}

// Spinning only makes sense when the waker can run at the same time as the spinner.
bool OtherProcessorExists() {
    static const bool exists = [] {
        cpu_set_t allowed;
        CPU_ZERO(&allowed);
        return sched_getaffinity(0, sizeof(allowed), &allowed) == 0 && CPU_COUNT(&allowed) > 1;
    }();
    return exists;
}

// A thread woken while spinning was handed work a moment ago, and its waker is likely still
// producing more. Going on at once would take that work one piece at a time, each piece paying
// for the shared locks; a pause of a few microseconds lets a batch gather first (measured: a
// one-action-per-write queue ran three times faster, a byte queue a third faster).
constexpr std::chrono::nanoseconds kGatherTime{3000};

void LetWorkGather() {
    const auto until = RealClock::now() + std::chrono::nanoseconds(kGatherTime);
    while (RealClock::now() < until) {
        CpuRelax();
    }
}

// Spins for the thread's budget (never past `deadline`) waiting for the wake counter to move
// from `seen`; true when it moved. The budget learns from the outcome (spin_budget.h).
bool SpinForWake(ThreadRecord& self, std::uint32_t seen, const RealClock::time_point* deadline) {
    if (!OtherProcessorExists()) {
        return false;
    }
    // Looking at the clock costs more than a pause: only every few rounds.
    constexpr int kRoundsBetweenClockReads = 16;
    auto until = RealClock::now() + self.spinBudget.Current();
    const bool deadlineFirst = deadline != nullptr && *deadline < until;
    if (deadlineFirst) {
        until = *deadline;
    }
    do {
        for (int round = 0; round < kRoundsBetweenClockReads; ++round) {
            if (self.wakeCount.load(std::memory_order_acquire) != seen) {
                self.spinBudget.Succeeded();
                LetWorkGather();
                return true;
            }
            CpuRelax();
        }
    } while (RealClock::now() < until);
    // Running into the wait's own time limit says nothing about how soon wake-ups come.
    if (!deadlineFirst) {
        self.spinBudget.Failed();
    }
    return false;
}

}  // namespace

void QueueWake(ThreadRecord& thread) {
    WakeQueue& queue = queuedWakes;
    if (queue.count < WakeQueue::kCapacity) {
        queue.threads[queue.count++] = &thread;
    } else {
        // A wide hand-over: waking under the lock is slower but just as correct.
        Wake(thread);
    }
}

void SendQueuedWakes() {
    WakeQueue& queue = queuedWakes;
    for (int i = 0; i < queue.count; ++i) {
        Wake(*queue.threads[i]);
    }
    queue.count = 0;
}

void Park(KernelGuard& lock, ThreadRecord& self, const RealClock::time_point* deadline) {
    // Read under the lock: a wake-up queued after this point changes the count, and the futex
    // wait below then returns at once.
    const std::uint32_t seen = self.wakeCount.load(std::memory_order_acquire);
    lock.unlock();
    // A wake-up that arrives while spinning costs the waker no system call: it only sends one
    // to a thread that has set `parked`.
    if (!SpinForWake(self, seen, deadline)) {
        SleepOnWakeCount(self, seen, deadline);
    }
    lock.lock();
}

}  // namespace farvane::kernel
