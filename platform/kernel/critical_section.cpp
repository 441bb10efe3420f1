// Critical sections: a futex lock (free, held, held with sleepers) that spins before it sleeps,
// with an owner and a recursion count on top. Ready from the object's construction; the
// initialise and delete calls only reset it.
#include "platform/kernel/critical_section.h"

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/kernel/cpu_relax.h"

using farvane::kernel::CpuRelax;

namespace {

constexpr std::uint32_t kFree = 0;
constexpr std::uint32_t kHeld = 1;
constexpr std::uint32_t kHeldWithSleepers = 2;
constexpr int kSpins = 100;

// Any address unique to the calling thread identifies it as an owner.
std::uintptr_t OwnTag() {
    static thread_local char tag;
    return reinterpret_cast<std::uintptr_t>(&tag);
}

std::uint32_t* FutexWord(CRITICAL_SECTION* section) {
    static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t));
    return reinterpret_cast<std::uint32_t*>(&section->state);
}

bool TryLock(CRITICAL_SECTION* section) {
    std::uint32_t expected = kFree;
    return section->state.compare_exchange_strong(expected, kHeld, std::memory_order_acquire,
                                                  std::memory_order_relaxed);
}

void Lock(CRITICAL_SECTION* section) {
    for (int spin = 0; spin < kSpins; ++spin) {
        if (section->state.load(std::memory_order_relaxed) == kFree && TryLock(section)) {
            return;
        }
        CpuRelax();
    }
    // Sleep until the holder leaves; whoever takes the lock from here on marks it as possibly
    // having sleepers, so that the next unlock wakes one.
    while (section->state.exchange(kHeldWithSleepers, std::memory_order_acquire) != kFree) {
        syscall(SYS_futex, FutexWord(section), FUTEX_WAIT_PRIVATE, kHeldWithSleepers, nullptr,
                nullptr, 0);
    }
}

void Unlock(CRITICAL_SECTION* section) {
    if (section->state.exchange(kFree, std::memory_order_release) == kHeldWithSleepers) {
        syscall(SYS_futex, FutexWord(section), FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0);
    }
}

void TakeOwnership(CRITICAL_SECTION* section, std::uintptr_t self) {
    section->owner.store(self, std::memory_order_relaxed);
    section->recursion = 1;
}

}  // namespace

void InitializeCriticalSection(LPCRITICAL_SECTION section) {
    section->state.store(kFree, std::memory_order_relaxed);
    section->owner.store(0, std::memory_order_relaxed);
    section->recursion = 0;
}

void EnterCriticalSection(LPCRITICAL_SECTION section) {
    const std::uintptr_t self = OwnTag();
    if (section->owner.load(std::memory_order_relaxed) == self) {
        ++section->recursion;
        return;
    }
    Lock(section);
    TakeOwnership(section, self);
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section) {
    const std::uintptr_t self = OwnTag();
    if (section->owner.load(std::memory_order_relaxed) == self) {
        ++section->recursion;
        return TRUE;
    }
    if (!TryLock(section)) {
        return FALSE;
    }
    TakeOwnership(section, self);
    return TRUE;
}

void LeaveCriticalSection(LPCRITICAL_SECTION section) {
    if (--section->recursion > 0) {
        return;
    }
    section->owner.store(0, std::memory_order_relaxed);
    Unlock(section);
}

void DeleteCriticalSection(LPCRITICAL_SECTION section) {
    InitializeCriticalSection(section);
}
