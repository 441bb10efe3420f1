// The queue engine through a byte queue whose sink each test scripts: ring geometry, pauses,
// unwrapping, sink codes and exceptions, and teardown.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "session/queue_codes.h"
#include "tests/session/queue_test_support.h"

namespace {

using queue_test::Collector;
using queue_test::ScriptedByteQueue;
using queue_test::Sequence;
using queue_test::TimeScale;
using Bytes = std::vector<unsigned char>;

// Long enough for any wait that must succeed, in the layer's (scaled) milliseconds.
DWORD Patience() {
    return 20000 * KernelTimeScale();
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Waits until a sink has been called `count` times.
void WaitCalls(const std::atomic<int>& calls, int count) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (calls.load() < count && std::chrono::steady_clock::now() < limit) {
        std::this_thread::yield();
    }
    ASSERT_GE(calls.load(), count);
}

// Pauses the output thread and waits until it is back at its wait, so positions are settled.
// A pause request takes precedence over data, so callers first wait for the delivery they
// want to see.
void SettleOutput(ScriptedByteQueue& queue) {
    queue.PauseOutput();
    ASSERT_TRUE(queue.WaitOutputPaused(Patience()));
}

TEST(SessQueueTest, WriteParksAtBufferEndAndWrapsOnceTheReaderMoves) {
    TimeScale fast(100);
    Collector<unsigned char> got;
    std::atomic<int> calls{0};
    ScriptedByteQueue queue(16, SQ_OUTPUT_THREAD, [&](unsigned char* source, int count) {
        const int call = ++calls;
        if (call == 1) {
            got.Add(source, 4);
            return 4;
        }
        if (call == 2)
            return SQ_PAUSE_OUTPUT;
        got.Add(source, count);
        return count;
    });
    SettleOutput(queue);

    Bytes first = Sequence(0, 16);
    EXPECT_EQ(queue.Write(first.data(), 16), 16);  // a whole capacity from buffer start
    EXPECT_EQ(queue.WriteIndex(), 16);             // parked at buffer end
    EXPECT_EQ(queue.ReadIndex(), 0);
    Bytes more = Sequence(16, 10);
    EXPECT_EQ(queue.Write(more.data(), 10), 0);  // full
    EXPECT_FALSE(queue.SpaceSignalled());

    queue.ResumeOutput();  // the sink takes 4, then pauses the thread itself
    ASSERT_TRUE(queue.WaitOutputPaused(Patience()));
    EXPECT_EQ(queue.ReadIndex(), 4);
    EXPECT_EQ(queue.WriteIndex(), 0);  // moved back to buffer start
    EXPECT_TRUE(queue.SpaceSignalled());
    EXPECT_EQ(queue.Write(more.data(), 10), 3);  // wrapped: one element stays free
    EXPECT_EQ(queue.WriteIndex(), 3);

    queue.ResumeOutput();  // what stayed in the ring is delivered without another Write
    ASSERT_TRUE(got.WaitFor(19));
    EXPECT_EQ(got.Items(), Join({first, Sequence(16, 3)}));
}

TEST(SessQueueTest, ParkedWriterComesBackWhenTheSinkTakesTheWholeRing) {
    TimeScale fast(100);
    Collector<unsigned char> got;
    ScriptedByteQueue queue(16, SQ_OUTPUT_THREAD, [&](unsigned char* source, int count) {
        got.Add(source, count);
        return count;
    });
    SettleOutput(queue);
    Bytes first = Sequence(0, 16);
    ASSERT_EQ(queue.Write(first.data(), 16), 16);
    ASSERT_EQ(queue.WriteIndex(), 16);  // parked at buffer end

    queue.ResumeOutput();  // the sink takes all 16 in one call: both positions wrap
    ASSERT_TRUE(got.WaitFor(16));
    SettleOutput(queue);
    EXPECT_EQ(queue.ReadIndex(), 0);
    EXPECT_EQ(queue.WriteIndex(), 0);
    Bytes second = Sequence(16, 16);
    EXPECT_EQ(queue.Write(second.data(), 16), 16);  // empty again: a whole capacity fits
    queue.ResumeOutput();
    ASSERT_TRUE(got.WaitFor(32));
    SettleOutput(queue);
    EXPECT_EQ(got.Items(), Join({first, second}));  // nothing delivered twice
}

TEST(SessQueueTest, EmptyRingInTheMiddleTakesOnlyUpToBufferEndThenWaitsForRoom) {
    TimeScale fast(100);
    Collector<unsigned char> got;
    ScriptedByteQueue queue(16, SQ_OUTPUT_THREAD, [&](unsigned char* source, int count) {
        got.Add(source, count);
        return count;
    });
    Bytes head = Sequence(0, 10);
    ASSERT_EQ(queue.Write(head.data(), 10), 10);
    ASSERT_TRUE(got.WaitFor(10));
    SettleOutput(queue);
    ASSERT_EQ(queue.ReadIndex(), 10);
    ASSERT_EQ(queue.WriteIndex(), 10);

    Bytes next = Sequence(10, 20);
    EXPECT_EQ(queue.Write(next.data(), 10), 6);  // up to buffer end only
    EXPECT_EQ(queue.WriteIndex(), 0);            // the reader is not at buffer start
    EXPECT_EQ(queue.Write(next.data() + 6, 10), 9);
    EXPECT_EQ(queue.WriteIndex(), 9);
    EXPECT_EQ(queue.Write(next.data() + 15, 1), 0);  // holds capacity - 1: full
    EXPECT_FALSE(queue.SpaceSignalled());
    EXPECT_EQ(queue.Write(next.data() + 15, 1), 0);  // waited for room, none came

    // A producer waiting for room gets it as soon as the output side delivers.
    KernelSetTimeScale(1);
    int late = -1;
    std::thread producer([&] { late = queue.Write(next.data() + 15, 1); });
    queue.ResumeOutput();
    producer.join();
    EXPECT_EQ(late, 1);
    ASSERT_TRUE(got.WaitFor(26));
    EXPECT_EQ(got.Items(), Join({head, Sequence(10, 16)}));
}

TEST(SessQueueTest, PausedInputHoldsBackWriteUntilResumedOrTimedOut) {
    TimeScale fast(100);
    Collector<unsigned char> got;
    ScriptedByteQueue queue(16, SQ_OUTPUT_THREAD, [&](unsigned char* source, int count) {
        got.Add(source, count);
        return count;
    });
    Bytes lost = Sequence(50, 4);
    queue.PauseInput();
    EXPECT_EQ(queue.Write(lost.data(), 4), SQ_INPUT_PAUSED);
    EXPECT_EQ(queue.WriteIndex(), 0);
    EXPECT_TRUE(queue.SpaceSignalled());

    KernelSetTimeScale(1);
    std::thread resumer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        queue.ResumeInput();
    });
    Bytes kept = Sequence(60, 4);
    EXPECT_EQ(queue.Write(kept.data(), 4), 4);
    resumer.join();
    ASSERT_TRUE(got.WaitFor(4));
    EXPECT_EQ(got.Items(), kept);
}

// A sink that wants records of `record` bytes whole, and asks for unwrapping otherwise.
struct RecordSink {
    explicit RecordSink(Collector<unsigned char>* collector) : got(collector) {}

    Collector<unsigned char>* got;
    std::atomic<int> record{0};
    std::atomic<int> calls{0};
    std::vector<int> offered;  // written by the output thread; read once it is settled

    int operator()(unsigned char* source, int count) {
        offered.push_back(count);
        ++calls;
        const int need = record.load();
        if (need > 0 && count < need)
            return SQ_UNWRAP;
        got->Add(source, count);
        return count;
    }
};

TEST(SessQueueTest, UnwrapMakesWrappedDataContiguousInDeliveryOrder) {
    TimeScale fast(100);
    Collector<unsigned char> got;
    RecordSink sink(&got);
    ScriptedByteQueue queue(16, SQ_OUTPUT_THREAD, std::ref(sink));
    Bytes lead = Sequence(0, 12);
    ASSERT_EQ(queue.Write(lead.data(), 12), 12);
    ASSERT_TRUE(got.WaitFor(12));
    SettleOutput(queue);

    sink.record = 9;
    Bytes tail = Sequence(100, 4);
    Bytes head = Sequence(104, 5);
    ASSERT_EQ(queue.Write(tail.data(), 4), 4);  // 12..16
    ASSERT_EQ(queue.Write(head.data(), 5), 5);  // 0..5: the data wraps
    sink.offered.clear();
    queue.ResumeOutput();
    ASSERT_TRUE(got.WaitFor(21));
    SettleOutput(queue);

    EXPECT_EQ(got.Items(), Join({lead, tail, head}));
    EXPECT_EQ(sink.offered, (std::vector<int>{4, 9}));  // offered again, contiguous, at once
    EXPECT_EQ(queue.ReadIndex(), 9);
    EXPECT_EQ(queue.WriteIndex(), 9);
}

TEST(SessQueueTest, UnwrapRequestOnContiguousDataWaitsForMoreData) {
    TimeScale fast(100);
    Collector<unsigned char> got;
    RecordSink sink(&got);
    sink.record = 9;
    ScriptedByteQueue queue(16, SQ_OUTPUT_THREAD, std::ref(sink));
    Bytes part = Sequence(0, 5);
    ASSERT_EQ(queue.Write(part.data(), 5), 5);
    WaitCalls(sink.calls, 1);
    SettleOutput(queue);
    EXPECT_EQ(sink.offered, (std::vector<int>{5}));
    EXPECT_EQ(queue.ReadIndex(), 0);  // nothing moved
    EXPECT_EQ(queue.WriteIndex(), 5);

    queue.ResumeOutput();
    Bytes rest = Sequence(5, 4);
    ASSERT_EQ(queue.Write(rest.data(), 4), 4);
    ASSERT_TRUE(got.WaitFor(9));
    EXPECT_EQ(got.Items(), Sequence(0, 9));
}

TEST(SessQueueTest, SinkExceptionDropsOfferedElementsOnly) {
    TimeScale fast(100);
    Collector<unsigned char> got;
    std::atomic<int> calls{0};
    ScriptedByteQueue queue(16, SQ_OUTPUT_THREAD, [&](unsigned char* source, int count) {
        if (++calls == 1)
            throw std::runtime_error("sink failed");
        got.Add(source, count);
        return count;
    });
    Bytes dropped = Sequence(0, 5);
    ASSERT_EQ(queue.Write(dropped.data(), 5), 5);
    WaitCalls(calls, 1);
    SettleOutput(queue);
    EXPECT_EQ(queue.ReadIndex(), 5);
    queue.ResumeOutput();

    Bytes kept = Sequence(5, 3);
    ASSERT_EQ(queue.Write(kept.data(), 3), 3);
    ASSERT_TRUE(got.WaitFor(3));
    EXPECT_EQ(got.Items(), kept);
}

TEST(SessQueueTest, SinkCodesSteerTheOutputThread) {
    TimeScale fast(100);
    Collector<unsigned char> got;
    std::atomic<int> calls{0};
    // 1: skip the round; 2, 3: refuse (retried at once); 4: take; 5: end the thread.
    ScriptedByteQueue queue(16, SQ_OUTPUT_THREAD, [&](unsigned char* source, int count) {
        const int call = ++calls;
        if (call == 1)
            return SQ_SKIP_ROUND;
        if (call <= 3)
            return 0;
        if (call == 4) {
            got.Add(source, count);
            return count;
        }
        return SQ_END_OUTPUT;
    });
    Bytes first = Sequence(0, 3);
    ASSERT_EQ(queue.Write(first.data(), 3), 3);
    WaitCalls(calls, 1);
    SettleOutput(queue);
    EXPECT_EQ(calls.load(), 1);  // skipped: back at the wait without another offer

    queue.ResumeOutput();  // offered again: refused twice, then taken
    ASSERT_TRUE(got.WaitFor(3));
    EXPECT_EQ(got.Items(), first);

    Bytes last = Sequence(3, 2);
    ASSERT_EQ(queue.Write(last.data(), 2), 2);
    ASSERT_TRUE(queue.WaitOutThreadEnded(Patience()));
    EXPECT_EQ(queue.OutThreadExitCode(), static_cast<DWORD>(SQ_END_OUTPUT));
    Bytes fill = Sequence(5, 16);
    EXPECT_EQ(queue.Write(fill.data(), 16), 11);  // producers go on until the ring is full
}

TEST(SessQueueTest, TeardownEndsAThreadHangingInASinkWait) {
    TimeScale fast(10);
    HANDLE never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> destroyed{false};
    std::atomic<bool> touchedAfterwards{false};
    std::atomic<DWORD> sinkWait{0};
    std::atomic<int> calls{0};
    {
        ScriptedByteQueue queue(16, SQ_OUTPUT_THREAD, [&](unsigned char*, int count) {
            if (destroyed)
                touchedAfterwards = true;
            ++calls;
            sinkWait = WaitForSingleObject(never, INFINITE);
            if (destroyed)
                touchedAfterwards = true;
            return count;
        });
        Bytes bytes = Sequence(0, 4);
        ASSERT_EQ(queue.Write(bytes.data(), 4), 4);
        while (calls.load() == 0)
            std::this_thread::yield();
    }
    destroyed = true;
    EXPECT_EQ(sinkWait.load(), WAIT_FAILED);  // the hanging wait was cancelled
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(touchedAfterwards.load());
    CloseHandle(never);
}

TEST(SessQueueTest, TeardownEndsAThreadSleepingForEver) {
    TimeScale fast(10);
    std::atomic<int> calls{0};
    {
        ScriptedByteQueue queue(16, SQ_OUTPUT_THREAD, [&](unsigned char*, int count) {
            ++calls;
            Sleep(INFINITE);
            return count;
        });
        unsigned char byte = 1;
        ASSERT_EQ(queue.Write(&byte, 1), 1);
        while (calls.load() == 0)
            std::this_thread::yield();
    }
    EXPECT_EQ(calls.load(), 1);
}

TEST(SessQueueTest, TeardownRunsOnceAndLeavesASafeQueue) {
    TimeScale fast(100);
    // Threads created but never started end as soon as teardown lets them run.
    ScriptedByteQueue queue(
        8, SQ_BOTH_THREADS, [](unsigned char*, int count) { return count; },
        /*start=*/false);
    EXPECT_FALSE(queue.IsDestroyed());
    queue.TeardownNow();
    EXPECT_TRUE(queue.IsDestroyed());
    EXPECT_TRUE(queue.AllHandlesClosed());
    queue.TeardownNow();  // nothing left to release
    EXPECT_TRUE(queue.IsDestroyed());
    unsigned char byte = 0;
    EXPECT_EQ(queue.Write(&byte, 1), 0);
}

}  // namespace
