// How long a thread about to sleep first spins, waiting for its wake-up on the processor.
//
// A producer and a consumer on two processors hand over work every microsecond or two; if the
// waiting side sleeps at once, every hand-over costs a wake-up system call and two context
// switches, and the woken thread often preempts its waker. Spinning a little avoids that, but
// only pays when the wake-up tends to come soon: on a busy machine the spinner holds a
// processor that the thread it waits for may need. So the budget adapts per thread: it doubles
// after a spin that ended with the wake-up and halves after one that ended in sleep.
#pragma once

#include <chrono>

namespace farvane::kernel {

class SpinBudget {
public:
    using Duration = std::chrono::nanoseconds;

    static constexpr Duration kShortest{500};
    static constexpr Duration kLongest{50'000};
    static constexpr Duration kInitial{4'000};

    Duration Current() const { return current_; }

    // The wake-up came while spinning.
    void Succeeded() { current_ = current_ * 2 < kLongest ? current_ * 2 : kLongest; }
    // The spin ran out and the thread slept.
    void Failed() { current_ = current_ / 2 > kShortest ? current_ / 2 : kShortest; }

private:
    Duration current_ = kInitial;
};

}  // namespace farvane::kernel
