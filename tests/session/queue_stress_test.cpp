// Many producers, a sink that takes odd amounts, asks for unwrapping, refuses, skips and pauses
// itself, and a controller that pauses, resumes and rebinds both ends at random. Every element
// must arrive exactly once and in its producer's order.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <random>
#include <thread>
#include <vector>

#include "session/action_queue.h"
#include "session/byte_queue.h"
#include "session/queue_codes.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kProduceFor = std::chrono::milliseconds(1200);
constexpr auto kDrainLimit = std::chrono::seconds(30);

// What the sink does with one offer, while it is not yet told to take everything.
enum class SinkMove { Take, Unwrap, Refuse, Skip, PauseSelf };

SinkMove DrawMove(std::minstd_rand& random) {
    const unsigned dice = random() % 100;
    if (dice < 6)
        return SinkMove::Unwrap;
    if (dice < 8)
        return SinkMove::Refuse;
    if (dice < 9)
        return SinkMove::Skip;
    if (dice < 10)
        return SinkMove::PauseSelf;
    return SinkMove::Take;
}

int CodeFor(SinkMove move) {
    switch (move) {
        case SinkMove::Unwrap:
            return SQ_UNWRAP;
        case SinkMove::Refuse:
            return 0;
        case SinkMove::Skip:
            return SQ_SKIP_ROUND;
        case SinkMove::PauseSelf:
            return SQ_PAUSE_OUTPUT;
        case SinkMove::Take:
            break;
    }
    return 0;
}

// Pauses, resumes and rebinds the queue's ends at random until told to stop.
template <class Queue, class Sink>
void Control(Queue& queue, Sink& sink, std::atomic<bool>& producing) {
    std::minstd_rand random(99);
    while (producing) {
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 400));
        switch (random() % 4) {
            case 0:
                queue.PauseOutput();
                std::this_thread::sleep_for(std::chrono::microseconds(random() % 200));
                queue.ResumeOutput();
                break;
            case 1:
                queue.PauseInput();
                std::this_thread::sleep_for(std::chrono::microseconds(random() % 200));
                queue.ResumeInput();
                break;
            case 2:
                queue.SetOutBinding(QueueBinding(&sink));
                break;
            default:
                queue.ResumeOutput();  // ends a pause the sink asked for
                break;
        }
    }
}

// Lets the sink take everything and kicks the output thread until `total` elements arrived:
// ResumeOutput ends a pause the sink asked for, and binding the sink again offers what a
// skipped round or a refused unwrap left waiting for the next Write, which no longer comes.
template <class Queue, class Sink>
bool Drain(Queue& queue, Sink& sink, long total) {
    sink.calm = true;
    const auto limit = Clock::now() + kDrainLimit;
    while (sink.delivered.load() < total && Clock::now() < limit) {
        queue.ResumeOutput();
        queue.BindSink(&sink);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return sink.delivered.load() == total;
}

// ---- bytes --------------------------------------------------------------------------------------

constexpr int kByteProducers = 4;

// Each byte carries its producer in the top two bits and its sequence number modulo 64 below.
unsigned char ByteOf(int producer, long index) {
    return static_cast<unsigned char>(producer << 6 | (index & 63));
}

class CheckingByteSink : public CByteQueueSink {
public:
    int MoveOut(unsigned char* source, int count) override {
        int take = count;
        if (!calm) {
            const SinkMove move = DrawMove(m_random);
            if (move != SinkMove::Take)
                return CodeFor(move);
            take = 1 + static_cast<int>(m_random() % static_cast<unsigned>(count));
        }
        for (int i = 0; i < take; ++i) {
            const int producer = source[i] >> 6;
            if ((source[i] & 63) != (m_next[producer] & 63))
                corrupt = true;
            ++m_next[producer];
        }
        delivered += take;
        return take;
    }
    long Received(int producer) const { return m_next[producer]; }

    std::atomic<bool> calm{false};
    std::atomic<bool> corrupt{false};
    std::atomic<long> delivered{0};

private:
    std::minstd_rand m_random{5};
    std::array<long, kByteProducers> m_next{};
};

void ProduceBytes(CTransQueue& queue, int producer, long& produced) {
    std::minstd_rand random(static_cast<unsigned>(producer + 1));
    std::vector<unsigned char> chunk;
    const auto end = Clock::now() + kProduceFor;
    while (Clock::now() < end) {
        chunk.resize(1 + random() % 300);
        for (std::size_t i = 0; i < chunk.size(); ++i)
            chunk[i] = ByteOf(producer, produced + static_cast<long>(i));
        std::size_t sent = 0;
        while (sent < chunk.size()) {
            const int result =
                queue.Write(chunk.data() + sent, static_cast<int>(chunk.size() - sent));
            if (result > 0)
                sent += static_cast<std::size_t>(result);
        }
        produced += static_cast<long>(chunk.size());
    }
}

// Runs `producerCount` producers against `queue` while a controller pauses, resumes and
// unwraps it, then checks that the sink got every element once and in each producer's order.
template <std::size_t producerCount, class Queue, class Sink, class Produce>
void RunStress(Queue& queue, Sink& sink, Produce produce) {
    std::array<long, producerCount> produced{};
    std::atomic<bool> producing{true};
    std::thread controller([&] { Control(queue, sink, producing); });
    std::vector<std::thread> producers;
    for (int p = 0; p < static_cast<int>(producerCount); ++p) {
        producers.emplace_back(
            [&, p] { produce(queue, p, produced[static_cast<std::size_t>(p)]); });
    }
    for (std::thread& producer : producers)
        producer.join();
    producing = false;
    controller.join();

    long total = 0;
    for (long count : produced)
        total += count;
    ASSERT_TRUE(Drain(queue, sink, total)) << sink.delivered.load() << " of " << total;
    EXPECT_FALSE(sink.corrupt.load());
    for (int p = 0; p < static_cast<int>(producerCount); ++p) {
        EXPECT_EQ(sink.Received(p), produced[static_cast<std::size_t>(p)]) << "producer " << p;
    }
}

TEST(QueueStressTest, EveryByteArrivesOnceInProducerOrder) {
    CheckingByteSink sink;
    CTransQueue queue(257, SQ_OUTPUT_THREAD, nullptr, nullptr, &sink);
    RunStress<kByteProducers>(queue, sink, ProduceBytes);
}

// ---- actions ------------------------------------------------------------------------------------

constexpr int kActionProducers = 3;

class CheckingActionSink : public CActionQueueSink {
public:
    int MoveOut(CAction* source, int count) override {
        int take = count;
        if (!calm) {
            const SinkMove move = DrawMove(m_random);
            if (move != SinkMove::Take)
                return CodeFor(move);
            take = 1 + static_cast<int>(m_random() % static_cast<unsigned>(count));
        }
        for (int i = 0; i < take; ++i) {
            const auto producer = static_cast<std::size_t>(source[i].SourceProcID());
            if (producer >= m_next.size() || source[i].Param() != m_next[producer] ||
                source[i].LParam() != static_cast<std::int32_t>(~source[i].Param())) {
                corrupt = true;
                continue;
            }
            ++m_next[producer];
        }
        delivered += take;
        return take;
    }
    long Received(int producer) const { return m_next[static_cast<std::size_t>(producer)]; }

    std::atomic<bool> calm{false};
    std::atomic<bool> corrupt{false};
    std::atomic<long> delivered{0};

private:
    std::minstd_rand m_random{11};
    std::array<std::uint32_t, kActionProducers> m_next{};
};

void ProduceActions(CActionQueue& queue, int producer, long& produced) {
    std::minstd_rand random(static_cast<unsigned>(producer + 17));
    std::vector<CAction> batch;
    const auto end = Clock::now() + kProduceFor;
    while (Clock::now() < end) {
        batch.resize(1 + random() % 6);
        for (std::size_t i = 0; i < batch.size(); ++i) {
            const auto number = static_cast<std::uint32_t>(produced + static_cast<long>(i));
            batch[i] = CAction(PROC_HOSTPILOT, static_cast<ePROC_ID>(producer), 1, number);
            batch[i].SetLParam(static_cast<std::int32_t>(~number));
        }
        std::size_t sent = 0;
        while (sent < batch.size()) {
            const int result =
                queue.Write(batch.data() + sent, static_cast<int>(batch.size() - sent));
            if (result > 0)
                sent += static_cast<std::size_t>(result);
        }
        produced += static_cast<long>(batch.size());
    }
}

TEST(QueueStressTest, EveryActionArrivesOnceInProducerOrder) {
    CheckingActionSink sink;
    CActionQueue queue(31, SQ_OUTPUT_THREAD, nullptr, &sink);
    RunStress<kActionProducers>(queue, sink, ProduceActions);
}

}  // namespace
