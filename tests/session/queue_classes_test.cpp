// The receive, transmit and action queues with sources and sinks bound to them: the input
// thread, rebinding, actions through the ring, and teardown of queues whose plugs hang.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "session/action_queue.h"
#include "session/byte_queue.h"
#include "session/queue_codes.h"
#include "tests/session/queue_test_support.h"

namespace {

using queue_test::Collector;
using queue_test::Sequence;
using queue_test::TimeScale;
using Bytes = std::vector<unsigned char>;

DWORD Patience() {
    return 20000 * KernelTimeScale();
}

// A source of `total` counting bytes in chunks of up to `chunk`; once they are out it waits
// on an event that is never set, as a connection with nothing more to say.
class CountingSource : public CByteQueueSource {
public:
    CountingSource(int total, int chunk)
        : m_total(total), m_chunk(chunk), m_idle(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~CountingSource() override { CloseHandle(m_idle); }

    int MoveIn(unsigned char* destination, int count) override {
        ++calls;
        const int left = m_total - m_produced;
        if (left == 0) {
            idleWait = WaitForSingleObject(m_idle, INFINITE);
            return 0;
        }
        const int n = std::min({count, m_chunk, left});
        for (int i = 0; i < n; ++i)
            destination[i] = static_cast<unsigned char>(m_produced + i);
        m_produced += n;
        return n;
    }

    std::atomic<int> calls{0};
    std::atomic<DWORD> idleWait{0};

private:
    int m_total;
    int m_chunk;
    int m_produced = 0;
    HANDLE m_idle;
};

// A sink that takes a varying part of what it is offered.
class NibblingSink : public CByteQueueSink {
public:
    explicit NibblingSink(Collector<unsigned char>& got) : m_got(got) {}
    int MoveOut(unsigned char* source, int count) override {
        const int n = 1 + (m_turn++ % 7 == 0 ? count - 1 : (count - 1) / 2);
        m_got.Add(source, n);
        return n;
    }

private:
    Collector<unsigned char>& m_got;
    int m_turn = 0;
};

class TakingSink : public CByteQueueSink {
public:
    explicit TakingSink(Collector<unsigned char>& got) : m_got(got) {}
    int MoveOut(unsigned char* source, int count) override {
        m_got.Add(source, count);
        return count;
    }

private:
    Collector<unsigned char>& m_got;
};

TEST(QueueClassesTest, ReceiveQueuePullsFromItsSourceInOrder) {
    Collector<unsigned char> got;
    CountingSource source(50000, 23);
    NibblingSink sink(got);
    {
        TimeScale fast(10);  // the source ends in its idle wait, which teardown cancels
        CRecvQueue queue(61, SQ_BOTH_THREADS, nullptr, &source, &sink);
        ASSERT_TRUE(got.WaitFor(50000));
    }
    EXPECT_EQ(source.idleWait.load(), WAIT_FAILED);
    const std::vector<unsigned char> items = got.Items();
    ASSERT_EQ(items.size(), 50000u);
    for (std::size_t i = 0; i < items.size(); ++i) {
        ASSERT_EQ(items[i], static_cast<unsigned char>(i)) << "at " << i;
    }
}

// A source that never runs dry, to see it stop while the input is paused.
class EndlessSource : public CByteQueueSource {
public:
    int MoveIn(unsigned char* destination, int count) override {
        ++calls;
        const int n = std::min(count, 5);
        std::memset(destination, 0xAB, static_cast<std::size_t>(n));
        return n;
    }
    std::atomic<int> calls{0};
};

class DiscardingSink : public CByteQueueSink {
public:
    int MoveOut(unsigned char*, int count) override { return count; }
};

TEST(QueueClassesTest, InputPauseIsAcknowledgedAndHoldsTheSource) {
    EndlessSource source;
    DiscardingSink sink;
    CTransQueue queue(64, SQ_BOTH_THREADS, nullptr, &source, &sink);
    while (source.calls.load() < 100)
        std::this_thread::yield();

    EXPECT_FALSE(queue.WaitInputPaused(0));
    queue.PauseInput();
    ASSERT_TRUE(queue.WaitInputPaused(Patience()));
    const int callsWhenPaused = source.calls.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(source.calls.load(), callsWhenPaused);

    queue.ResumeInput();
    EXPECT_FALSE(queue.WaitInputPaused(0));
    while (source.calls.load() < callsWhenPaused + 100)
        std::this_thread::yield();
}

TEST(QueueClassesTest, BytesWaitForASinkAndFollowRebinding) {
    TimeScale fast(100);
    Collector<unsigned char> first;
    Collector<unsigned char> second;
    TakingSink firstSink(first);
    TakingSink secondSink(second);
    CTransQueue queue(32, SQ_OUTPUT_THREAD, nullptr, nullptr, nullptr);

    Bytes early = Sequence(0, 10);
    ASSERT_EQ(queue.Write(early.data(), 10), 10);  // no sink yet: the bytes stay queued
    queue.BindSink(&firstSink);
    ASSERT_TRUE(first.WaitFor(10));

    queue.SetOutBinding(QueueBinding(&secondSink));
    Bytes late = Sequence(10, 5);
    ASSERT_EQ(queue.Write(late.data(), 5), 5);
    ASSERT_TRUE(second.WaitFor(5));
    EXPECT_EQ(first.Items(), early);
    EXPECT_EQ(second.Items(), late);
    EXPECT_EQ(queue.OutBinding(), QueueBinding(&secondSink));
}

// Keeps copies of the actions it takes; wants `batch` actions at once and asks for unwrapping
// when offered fewer.
class ActionSink : public CActionQueueSink {
public:
    int MoveOut(CAction* source, int count) override {
        if (count < batch.load()) {
            ++unwrapRequests;
            return SQ_UNWRAP;
        }
        std::lock_guard lock(m_mutex);
        taken.insert(taken.end(), source, source + count);
        return count;
    }
    std::vector<CAction> Taken() {
        std::lock_guard lock(m_mutex);
        return taken;
    }

    std::atomic<int> batch{0};
    std::atomic<int> unwrapRequests{0};

private:
    std::mutex m_mutex;
    std::vector<CAction> taken;
};

CAction NumberedAction(std::uint32_t number) {
    CAction action(PROC_HOSTPILOT, PROC_CONNECT, 100, number);
    action.SetLParam(-static_cast<std::int32_t>(number));
    return action;
}

TEST(QueueClassesTest, ActionsArriveWholeAndUnwrapInDeliveryOrder) {
    TimeScale fast(100);
    ActionSink sink;
    CFVSession* session = reinterpret_cast<CFVSession*>(std::uintptr_t{0x1000});
    CActionQueue queue(8, SQ_OUTPUT_THREAD, session, &sink);
    EXPECT_EQ(queue.Session(), session);

    std::vector<CAction> lead;
    for (std::uint32_t i = 0; i < 6; ++i)
        lead.push_back(NumberedAction(i));
    std::memcpy(reinterpret_cast<unsigned char*>(&lead[2]) + 20, "text\0kept", 9);
    ASSERT_EQ(queue.Write(lead.data(), 6), 6);
    while (sink.Taken().size() < 6)
        std::this_thread::yield();

    // Read and write positions stand at 6: two actions fit before buffer end, three after.
    queue.PauseOutput();
    ASSERT_TRUE(queue.WaitOutputPaused(Patience()));
    sink.batch = 5;
    std::vector<CAction> wrapped;
    for (std::uint32_t i = 6; i < 11; ++i)
        wrapped.push_back(NumberedAction(i));
    ASSERT_EQ(queue.Write(wrapped.data(), 5), 2);
    ASSERT_EQ(queue.Write(wrapped.data() + 2, 3), 3);
    queue.ResumeOutput();
    while (sink.Taken().size() < 11)
        std::this_thread::yield();

    const std::vector<CAction> taken = sink.Taken();
    ASSERT_EQ(taken.size(), 11u);
    for (std::uint32_t i = 0; i < 11; ++i) {
        EXPECT_EQ(taken[i].Param(), i);
        EXPECT_EQ(taken[i].LParam(), -static_cast<std::int32_t>(i));
        EXPECT_EQ(taken[i].ProcID(), PROC_HOSTPILOT);
        EXPECT_EQ(taken[i].SourceProcID(), PROC_CONNECT);
    }
    EXPECT_EQ(std::memcmp(reinterpret_cast<const unsigned char*>(&taken[2]) + 20, "text\0kept", 9),
              0);
    EXPECT_EQ(sink.unwrapRequests.load(), 1);
}

// Hangs its thread where the kernel layer can end it, and notes any call after `destroyed`.
class HangingPlugs : public CByteQueueSource, public CByteQueueSink {
public:
    int MoveIn(unsigned char*, int) override {
        Note();
        Sleep(INFINITE);
        Note();
        return 0;
    }
    int MoveOut(unsigned char*, int count) override {
        Note();
        WaitForSingleObject(m_never, INFINITE);
        Note();
        return count;
    }
    void Note() {
        ++calls;
        if (destroyed)
            touchedAfterwards = true;
    }
    ~HangingPlugs() override { CloseHandle(m_never); }

    std::atomic<int> calls{0};
    std::atomic<bool> destroyed{false};
    std::atomic<bool> touchedAfterwards{false};

private:
    HANDLE m_never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
};

TEST(QueueClassesTest, TeardownEndsBothHangingThreads) {
    TimeScale fast(10);
    HangingPlugs plugs;
    {
        // The source is bound after the Write: a hanging source holds the input side, so a
        // Write would wait for it for ever.
        CRecvQueue queue(16, SQ_BOTH_THREADS, nullptr, nullptr, &plugs);
        unsigned char byte = 7;
        ASSERT_EQ(queue.Write(&byte, 1), 1);
        queue.BindSource(&plugs);
        while (plugs.calls.load() < 2)
            std::this_thread::yield();
    }
    plugs.destroyed = true;
    EXPECT_EQ(plugs.calls.load(), 4);  // each plug came back from its cancelled wait once
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(plugs.touchedAfterwards.load());
}

}  // namespace
