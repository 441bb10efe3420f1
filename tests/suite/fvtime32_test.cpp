#include "suite/fvtime32/fvtime32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/kernel/tick.h"

namespace {

using namespace std::chrono_literals;

// Waits (really) until `done` holds, at most 5 s.
template <typename Predicate>
bool Eventually(Predicate done) {
    auto limit = std::chrono::steady_clock::now() + 5s;
    while (!done()) {
        if (std::chrono::steady_clock::now() > limit) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

struct Counter {
    std::atomic<int> calls{0};
    std::atomic<UINT> lastId{0};
    int repeatUntil = 1;  // the callback asks for more calls until it was called this often
};

int CountingCallback(UINT id, void* context) {
    auto* counter = static_cast<Counter*>(context);
    counter->lastId = id;
    int calls = ++counter->calls;
    return calls < counter->repeatUntil ? 1 : 0;
}

class Timers : public ::testing::Test {
protected:
    void SetUp() override {
        KernelSetTimeScale(1000);  // 30 s of the layer's clock pass in 30 ms
        FVTimerInit();
    }
    void TearDown() override {
        FVTimerExit();
        KernelSetTimeScale(1);
    }
};

TEST_F(Timers, ACallbackReturningZeroRunsOnceAfterTheDelay) {
    Counter counter;
    UINT id = FVStartTimer(30000, 10000, CountingCallback, &counter, 0);
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(Eventually([&] { return FVTimerPendingCount() == 0; }));
    std::this_thread::sleep_for(50ms);  // several periods: no second call
    EXPECT_EQ(counter.calls, 1);
    EXPECT_EQ(counter.lastId, id);
    EXPECT_EQ(FVKillTimer(id), 0);  // already finished
}

TEST_F(Timers, ANonZeroResultRepeatsWithThePeriod) {
    Counter counter;
    counter.repeatUntil = 3;
    FVStartTimer(1000, 1000, CountingCallback, &counter, 0);
    ASSERT_TRUE(Eventually([&] { return counter.calls == 3 && FVTimerPendingCount() == 0; }));
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(counter.calls, 3);
}

TEST_F(Timers, AKilledTimerIsNeverCalled) {
    Counter counter;
    UINT id = FVStartTimer(15000, 1000, CountingCallback, &counter, 0);
    EXPECT_EQ(FVKillTimer(id), 1);
    std::this_thread::sleep_for(40ms);
    EXPECT_EQ(counter.calls, 0);
    EXPECT_EQ(FVStartTimer(10, 10, nullptr, &counter, 0), 0u);
}

TEST_F(Timers, IdsAreDistinctAndTimersFireInDueOrder) {
    static std::atomic<int> order{0};
    static std::atomic<int> firstSeen{0};
    order = 0;
    firstSeen = 0;
    auto record = [](UINT, void* context) -> int {
        int which = static_cast<int>(reinterpret_cast<std::intptr_t>(context));
        if (order++ == 0) {
            firstSeen = which;
        }
        return 0;
    };
    UINT late = FVStartTimer(30000, 0, record, reinterpret_cast<void*>(2), 0);
    UINT early = FVStartTimer(5000, 0, record, reinterpret_cast<void*>(1), 0);
    EXPECT_NE(late, early);
    ASSERT_TRUE(Eventually([&] { return order == 2; }));
    EXPECT_EQ(firstSeen, 1);
}

// Kill waits for a callback that is running, so the context may be freed right after it.
TEST_F(Timers, KillWaitsForARunningCallback) {
    struct Slow {
        std::atomic<bool> entered{false};
        std::atomic<bool> finished{false};
    } slow;
    auto callback = [](UINT, void* context) -> int {
        auto* state = static_cast<Slow*>(context);
        state->entered = true;
        std::this_thread::sleep_for(30ms);
        state->finished = true;
        return 1;
    };
    UINT id = FVStartTimer(0, 0, callback, &slow, 0);
    ASSERT_TRUE(Eventually([&] { return slow.entered.load(); }));
    EXPECT_EQ(FVKillTimer(id), 1);
    EXPECT_TRUE(slow.finished);
    EXPECT_EQ(FVTimerPendingCount(), 0);
}

TEST_F(Timers, ACallbackMayKillItselfAndExitDropsEverything) {
    static std::atomic<int> calls{0};
    calls = 0;
    auto selfKilling = [](UINT id, void*) -> int {
        ++calls;
        FVKillTimer(id);
        return 1;  // would repeat, but the timer is gone
    };
    FVStartTimer(0, 0, selfKilling, nullptr, 0);
    ASSERT_TRUE(Eventually([&] { return calls == 1 && FVTimerPendingCount() == 0; }));

    Counter counter;
    FVStartTimer(60000, 0, CountingCallback, &counter, 0);
    FVTimerExit();
    EXPECT_EQ(FVTimerPendingCount(), 0);
    // Timers work again after an exit.
    FVStartTimer(0, 0, CountingCallback, &counter, 0);
    ASSERT_TRUE(Eventually([&] { return counter.calls == 1; }));
}

}  // namespace
