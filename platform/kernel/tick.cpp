#include "platform/kernel/tick.h"

#include <atomic>
#include <cstdint>
#include <ctime>
#include <deque>
#include <mutex>

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
// back. Bases are immutable once published; replaced ones stay in `AllBases`, since a reader
// may still hold one (scale changes are rare: tests make a few).
struct ClockBase {
    std::int64_t realBase;
    std::int64_t tickBase;
    unsigned scale;

    std::int64_t TickNanoseconds(std::int64_t real) const {
        return tickBase + (real - realBase) * static_cast<std::int64_t>(scale);
    }
};

// Every base ever published; a deque never moves its elements.
std::deque<ClockBase>& AllBases() {
    static std::deque<ClockBase> bases;
    return bases;
}

std::mutex& AllBasesLock() {
    static std::mutex lock;
    return lock;
}

const ClockBase* Publish(const ClockBase& base) {
    std::lock_guard<std::mutex> hold(AllBasesLock());
    return &AllBases().emplace_back(base);
}

std::atomic<const ClockBase*>& CurrentBase() {
    static std::atomic<const ClockBase*> base{[] {
        const std::int64_t now = MonotonicNanoseconds();
        return Publish(ClockBase{now, now, 1});
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
using farvane::kernel::Publish;

DWORD GetTickCount() {
    const ClockBase* base = CurrentBase().load(std::memory_order_acquire);
    const std::int64_t ticks = base->TickNanoseconds(MonotonicNanoseconds()) / 1'000'000;
    return static_cast<DWORD>(static_cast<std::uint64_t>(ticks));
}

void KernelSetTimeScale(unsigned scale) {
    if (scale == 0) {
        scale = 1;
    }
    // Scale changes are serialised, so the base read here is the one being replaced.
    static std::mutex changeLock;
    std::lock_guard<std::mutex> hold(changeLock);
    auto& current = CurrentBase();
    const ClockBase* previous = current.load(std::memory_order_acquire);
    const std::int64_t now = MonotonicNanoseconds();
    current.store(Publish(ClockBase{now, previous->TickNanoseconds(now), scale}),
                  std::memory_order_release);
}

unsigned KernelTimeScale() {
    return CurrentBase().load(std::memory_order_acquire)->scale;
}
