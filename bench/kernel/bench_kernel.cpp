// The kernel layer's hot paths against baselines measured in the same run: an uncontended wait
// on a signalled event, SetEvent without waiters, a mutex taken and released and a critical
// section entered and left, each against one write and one read on a pipe (the cheapest
// signalling through the operating system) and against a std::mutex; and a wake-up round trip
// between two threads with two auto-reset events against the same with two pipes.
// Prints how many times faster than the baseline each case is.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "platform/kernel/critical_section.h"
#include "platform/kernel/synch.h"

namespace {

void PipeWriteRead(benchmark::State& state) {
    int ends[2];
    if (pipe(ends) != 0) {
        state.SkipWithError("pipe");
        return;
    }
    char byte = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(write(ends[1], &byte, 1));
        benchmark::DoNotOptimize(read(ends[0], &byte, 1));
    }
    close(ends[0]);
    close(ends[1]);
}

void StdMutex(benchmark::State& state) {
    std::mutex mutex;
    for (auto _ : state) {
        mutex.lock();
        mutex.unlock();
    }
}

void WaitSignalledEvent(benchmark::State& state) {
    HANDLE event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    for (auto _ : state) {
        benchmark::DoNotOptimize(WaitForSingleObject(event, INFINITE));
    }
    CloseHandle(event);
}

void SetEventWithoutWaiters(benchmark::State& state) {
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    for (auto _ : state) {
        benchmark::DoNotOptimize(SetEvent(event));
    }
    CloseHandle(event);
}

void MutexAcquireRelease(benchmark::State& state) {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    for (auto _ : state) {
        WaitForSingleObject(mutex, INFINITE);
        ReleaseMutex(mutex);
    }
    CloseHandle(mutex);
}

void CriticalSectionEnterLeave(benchmark::State& state) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    for (auto _ : state) {
        EnterCriticalSection(&section);
        LeaveCriticalSection(&section);
    }
    DeleteCriticalSection(&section);
}

void PipePingPong(benchmark::State& state) {
    int there[2];
    int back[2];
    if (pipe(there) != 0 || pipe(back) != 0) {
        state.SkipWithError("pipe");
        return;
    }
    std::thread partner([&] {
        char byte;
        while (read(there[0], &byte, 1) == 1 && byte != 0) {
            benchmark::DoNotOptimize(write(back[1], &byte, 1));
        }
    });
    char byte = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(write(there[1], &byte, 1));
        benchmark::DoNotOptimize(read(back[0], &byte, 1));
    }
    byte = 0;
    benchmark::DoNotOptimize(write(there[1], &byte, 1));
    partner.join();
    for (int end : {there[0], there[1], back[0], back[1]}) {
        close(end);
    }
}

void EventPingPong(benchmark::State& state) {
    HANDLE there = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE back = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    bool stop = false;
    std::thread partner([&] {
        while (WaitForSingleObject(there, INFINITE) == WAIT_OBJECT_0 && !stop) {
            SetEvent(back);
        }
    });
    for (auto _ : state) {
        SetEvent(there);
        WaitForSingleObject(back, INFINITE);
    }
    stop = true;
    SetEvent(there);
    partner.join();
    CloseHandle(there);
    CloseHandle(back);
}

BENCHMARK(PipeWriteRead);
BENCHMARK(StdMutex);
BENCHMARK(WaitSignalledEvent);
BENCHMARK(SetEventWithoutWaiters);
BENCHMARK(MutexAcquireRelease);
BENCHMARK(CriticalSectionEnterLeave);
BENCHMARK(PipePingPong)->UseRealTime();
BENCHMARK(EventPingPong)->UseRealTime();

// Keeps each case's time per iteration for the ratios.
class Collector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            nanoseconds[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> nanoseconds;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    auto& times = collector.nanoseconds;
    const auto ratio = [&](const char* name, const char* baseline) {
        if (times.count(name) != 0 && times.count(baseline) != 0 && times[name] > 0) {
            std::printf("%-26s %7.1fx faster than %s\n", name, times[baseline] / times[name],
                        baseline);
        }
    };
    std::printf("\n");
    for (const char* name : {"WaitSignalledEvent", "SetEventWithoutWaiters", "MutexAcquireRelease",
                             "CriticalSectionEnterLeave"}) {
        ratio(name, "PipeWriteRead");
    }
    ratio("MutexAcquireRelease", "StdMutex");
    ratio("EventPingPong/real_time", "PipePingPong/real_time");
    benchmark::Shutdown();
    return 0;
}
