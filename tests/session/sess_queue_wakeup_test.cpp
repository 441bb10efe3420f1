// A producer that finds the ring full resets the space event. When the output side frees room
// and sets the event between the producer's look at the ring and that reset, the signal must
// not be lost, or every later Write waits out the whole space time-out with room free.
//
// The window is a few instructions wide, so this program widens it: it is linked with
// --wrap for the kernel layer's ResetEvent, and the wrapper lets the producer thread dawdle
// before each reset, which gives the output side time to free room and set the event first.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/kernel/synch.h"
#include "session/queue_codes.h"
#include "tests/session/queue_test_support.h"

namespace {
thread_local bool t_dawdleBeforeReset = false;
}

// ResetEvent(HANDLE), by its mangled name.
extern "C" BOOL __real__Z10ResetEventPv(HANDLE event);
extern "C" BOOL __wrap__Z10ResetEventPv(HANDLE event) {
    if (t_dawdleBeforeReset)
        std::this_thread::sleep_for(std::chrono::microseconds(300));
    return __real__Z10ResetEventPv(event);
}

namespace {

using queue_test::ScriptedByteQueue;
using queue_test::TimeScale;
using Clock = std::chrono::steady_clock;

TEST(SessQueueWakeupTest, ProducerRacingTheOutputSideNeverStallsWithRoomFree) {
    TimeScale fast(10);  // the space wait lasts 500 ms
    const auto stall = std::chrono::milliseconds(SQ_SPACE_WAIT_MS / 10 / 2);
    std::atomic<long> delivered{0};
    // One element of room: after every stored byte the ring is full until the sink took it.
    // The sink takes a moment, so the producer's next Write finds the ring full, and it is
    // done well within the producer's dawdling before the reset.
    ScriptedByteQueue queue(1, SQ_OUTPUT_THREAD, [&](unsigned char*, int count) {
        const auto until = Clock::now() + std::chrono::microseconds(30);
        while (Clock::now() < until) {
        }
        delivered += count;
        return count;
    });

    t_dawdleBeforeReset = true;
    long written = 0;
    long foundFull = 0;
    long stalls = 0;
    for (int attempt = 0; attempt < 200 && stalls == 0; ++attempt) {
        unsigned char byte = static_cast<unsigned char>(attempt);
        const auto start = Clock::now();
        const int result = queue.Write(&byte, 1);
        if (Clock::now() - start > stall)
            ++stalls;
        if (result > 0) {
            written += result;
        } else {
            ++foundFull;
        }
    }
    t_dawdleBeforeReset = false;

    EXPECT_EQ(stalls, 0) << "after " << written << " bytes";
    EXPECT_GT(foundFull, 0) << written;  // the race was run
    EXPECT_GT(written, 0);
}

}  // namespace
