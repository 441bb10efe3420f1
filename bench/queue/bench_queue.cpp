// Throughput of the session queues against baselines measured in the same run:
//  - a byte queue (64 KiB ring, 4 KiB writes, the output thread handing everything to a sink
//    that copies it out) against a pipe with a reader thread moving the same bytes;
//  - actions written one at a time through an action queue against a std::deque hand-off
//    guarded by a mutex and a condition variable.
// Each iteration moves a fixed amount and waits until the consumer has all of it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "session/action_queue.h"
#include "session/byte_queue.h"

namespace {

constexpr int kRing = 64 * 1024;
constexpr int kBlock = 4096;
constexpr long kBytesPerIteration = 4L << 20;
constexpr int kActionsPerIteration = 20000;
constexpr int kActionRing = 1024;

void WaitUntil(const std::atomic<long>& counter, long target) {
    while (counter.load(std::memory_order_acquire) < target)
        std::this_thread::yield();
}

// ---- bytes --------------------------------------------------------------------------------------

class CopyingSink : public CByteQueueSink {
public:
    int MoveOut(unsigned char* source, int count) override {
        std::memcpy(m_scratch.data(), source, static_cast<std::size_t>(count));
        benchmark::ClobberMemory();
        consumed.fetch_add(count, std::memory_order_release);
        return count;
    }
    std::atomic<long> consumed{0};

private:
    std::vector<unsigned char> m_scratch = std::vector<unsigned char>(kRing);
};

void ByteQueue(benchmark::State& state) {
    CopyingSink sink;
    CTransQueue queue(kRing, SQ_OUTPUT_THREAD, nullptr, nullptr, &sink);
    std::vector<unsigned char> block(kBlock, 0x5A);
    long written = 0;
    for (auto _ : state) {
        for (long moved = 0; moved < kBytesPerIteration; moved += kBlock) {
            int sent = 0;
            while (sent < kBlock) {
                const int result = queue.Write(block.data() + sent, kBlock - sent);
                if (result > 0)
                    sent += result;
            }
        }
        written += kBytesPerIteration;
        WaitUntil(sink.consumed, written);
    }
    state.SetBytesProcessed(written);
}

void Pipe(benchmark::State& state) {
    int ends[2];
    if (pipe(ends) != 0) {
        state.SkipWithError("pipe");
        return;
    }
    std::atomic<long> consumed{0};
    std::thread reader([&] {
        std::vector<unsigned char> buffer(kRing);
        for (;;) {
            const ssize_t got = read(ends[0], buffer.data(), buffer.size());
            if (got <= 0)
                return;
            consumed.fetch_add(got, std::memory_order_release);
        }
    });
    std::vector<unsigned char> block(kBlock, 0x5A);
    long written = 0;
    for (auto _ : state) {
        for (long moved = 0; moved < kBytesPerIteration; moved += kBlock) {
            std::size_t sent = 0;
            while (sent < block.size()) {
                const ssize_t result = write(ends[1], block.data() + sent, block.size() - sent);
                if (result > 0)
                    sent += static_cast<std::size_t>(result);
            }
        }
        written += kBytesPerIteration;
        WaitUntil(consumed, written);
    }
    close(ends[1]);
    reader.join();
    close(ends[0]);
    state.SetBytesProcessed(written);
}

// ---- actions ------------------------------------------------------------------------------------

class CountingActionSink : public CActionQueueSink {
public:
    int MoveOut(CAction* source, int count) override {
        long codes = 0;
        for (int i = 0; i < count; ++i)
            codes += source[i].Code();
        benchmark::DoNotOptimize(codes);
        consumed.fetch_add(count, std::memory_order_release);
        return count;
    }
    std::atomic<long> consumed{0};
};

// Actions written `state.range(0)` at a time: one per Write is how sessions post them.
void ActionQueue(benchmark::State& state) {
    const int perWrite = static_cast<int>(state.range(0));
    CountingActionSink sink;
    CActionQueue queue(kActionRing, SQ_OUTPUT_THREAD, nullptr, &sink);
    std::vector<CAction> actions(static_cast<std::size_t>(perWrite),
                                 CAction(PROC_HOSTPILOT, PROC_CONNECT, 1, 0));
    long written = 0;
    for (auto _ : state) {
        for (int i = 0; i < kActionsPerIteration; i += perWrite) {
            actions[0].SetParam(static_cast<std::uint32_t>(i));
            int sent = 0;
            while (sent < perWrite) {
                const int result = queue.Write(actions.data() + sent, perWrite - sent);
                if (result > 0)
                    sent += result;
            }
        }
        written += kActionsPerIteration;
        WaitUntil(sink.consumed, written);
    }
    state.SetItemsProcessed(written);
}

// The usual hand-off: the producer pushes under a mutex and notifies, the consumer swaps out
// whatever is queued and works through it.
void DequeHandoff(benchmark::State& state) {
    std::mutex mutex;
    std::condition_variable ready;
    std::deque<CAction> queue;
    bool done = false;
    std::atomic<long> consumed{0};
    std::thread consumer([&] {
        std::deque<CAction> batch;
        for (;;) {
            {
                std::unique_lock lock(mutex);
                ready.wait(lock, [&] { return done || !queue.empty(); });
                if (queue.empty())
                    return;
                batch.swap(queue);
            }
            long codes = 0;
            for (const CAction& action : batch)
                codes += action.Code();
            benchmark::DoNotOptimize(codes);
            consumed.fetch_add(static_cast<long>(batch.size()), std::memory_order_release);
            batch.clear();
        }
    });
    CAction action(PROC_HOSTPILOT, PROC_CONNECT, 1, 0);
    long written = 0;
    for (auto _ : state) {
        for (int i = 0; i < kActionsPerIteration; ++i) {
            action.SetParam(static_cast<std::uint32_t>(i));
            {
                std::lock_guard lock(mutex);
                queue.push_back(action);
            }
            ready.notify_one();
        }
        written += kActionsPerIteration;
        WaitUntil(consumed, written);
    }
    {
        std::lock_guard lock(mutex);
        done = true;
    }
    ready.notify_one();
    consumer.join();
    state.SetItemsProcessed(written);
}

BENCHMARK(ByteQueue)->UseRealTime()->MinTime(1.0);
BENCHMARK(Pipe)->UseRealTime()->MinTime(1.0);
BENCHMARK(ActionQueue)->Arg(1)->Arg(32)->UseRealTime()->MinTime(1.0);
BENCHMARK(DequeHandoff)->UseRealTime()->MinTime(1.0);

// Keeps each case's rate (bytes or items per second) for the ratios.
class RateCollector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty())
                name += "/" + run.run_name.args;
            for (const char* counter : {"bytes_per_second", "items_per_second"}) {
                auto found = run.counters.find(counter);
                if (found != run.counters.end())
                    rate[name] = found->second;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> rate;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RateCollector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    auto& rate = collector.rate;
    const auto ratio = [&](const char* name, const char* baseline, const char* target) {
        if (rate.count(name) != 0 && rate.count(baseline) != 0 && rate[baseline] > 0) {
            std::printf("%-24s %6.2fx the rate of %s (target: %s)\n", name,
                        rate[name] / rate[baseline], baseline, target);
        }
    };
    std::printf("\n");
    ratio("ByteQueue", "Pipe", "at least 1.0x");
    ratio("ActionQueue/1", "DequeHandoff", "none");
    ratio("ActionQueue/32", "DequeHandoff", "none");
    for (const char* name : {"ActionQueue/1", "ActionQueue/32"}) {
        if (rate.count(name) != 0) {
            std::printf("%-24s %6.2f million actions per second (target: at least 1.0)\n", name,
                        rate[name] / 1e6);
        }
    }
    benchmark::Shutdown();
    return 0;
}
