#include "platform/kernel/tick.h"

#include <atomic>
#include <cstdint>
#include <ctime>

#include "platform/kernel/clock.h"

namespace farvane::kernel {

namespace {

std::int64_t MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// The clock runs `scale` times faster than CLOCK_MONOTONIC from `realBase` on, starting at
// `tickBase`. A scale change starts a new base at the current tick, so the clock never jumps
// back. Bases are immutable once published; the few replaced ones are kept, since a reader may
// still hold one.
struct ClockBase {
    std::int64_t realBase;
    std::int64_t tickBase;
    unsigned scale;

    std::int64_t TickNanoseconds(std::int64_t real) const {
        return tickBase + (real - realBase) * static_cast<std::int64_t>(scale);
    }
};

std::atomic<const ClockBase*>& CurrentBase() {
    static std::atomic<const ClockBase*> base{[] {
        const std::int64_t now = MonotonicNanoseconds();
        return new ClockBase{now, now, 1};
    }()};
    return base;
}

}  // namespace

RealClock::duration RealDuration(DWORD milliseconds) {
    const unsigned scale = CurrentBase().load(std::memory_order_acquire)->scale;
    const auto wanted =
        std::chrono::duration_cast<RealClock::duration>(std::chrono::milliseconds(milliseconds));
    return wanted / scale;
}

}  // namespace farvane::kernel

using farvane::kernel::ClockBase;
using farvane::kernel::CurrentBase;
using farvane::kernel::MonotonicNanoseconds;

DWORD GetTickCount() {
    const ClockBase* base = CurrentBase().load(std::memory_order_acquire);
    const std::int64_t ticks = base->TickNanoseconds(MonotonicNanoseconds()) / 1'000'000;
    return static_cast<DWORD>(static_cast<std::uint64_t>(ticks));
}

void KernelSetTimeScale(unsigned scale) {
    if (scale == 0) {
        scale = 1;
    }
    auto& current = CurrentBase();
    const ClockBase* previous = current.load(std::memory_order_acquire);
    for (;;) {
        const std::int64_t now = MonotonicNanoseconds();
        const auto* next = new ClockBase{now, previous->TickNanoseconds(now), scale};
        if (current.compare_exchange_weak(previous, next, std::memory_order_acq_rel)) {
            return;
        }
        delete next;
    }
}

unsigned KernelTimeScale() {
    return CurrentBase().load(std::memory_order_acquire)->scale;
}
