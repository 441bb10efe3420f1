#include <gtest/gtest.h>

#include <thread>

#include "kernel_test_support.h"
#include "platform/kernel/spin_budget.h"

using farvane::kernel::SpinBudget;
using kernel_test::UniqueHandle;

TEST(SpinBudget, DoublesOnSuccessHalvesOnFailureWithinItsBounds) {
    SpinBudget budget;
    EXPECT_EQ(budget.Current(), SpinBudget::kInitial);
    budget.Succeeded();
    EXPECT_EQ(budget.Current(), SpinBudget::kInitial * 2);
    budget.Failed();
    budget.Failed();
    EXPECT_EQ(budget.Current(), SpinBudget::kInitial / 2);
    for (int i = 0; i < 64; ++i) {
        budget.Succeeded();
    }
    EXPECT_EQ(budget.Current(), SpinBudget::kLongest);
    for (int i = 0; i < 64; ++i) {
        budget.Failed();
    }
    // Never zero: a thread whose wake-ups start coming quickly again must be able to learn it.
    EXPECT_EQ(budget.Current(), SpinBudget::kShortest);
    budget.Succeeded();
    EXPECT_GT(budget.Current(), SpinBudget::kShortest);
}

// Two threads hand a token back and forth, so that each wake-up arrives while its receiver is
// spinning, about to sleep or asleep: none may be lost or doubled.
TEST(Parking, RapidHandOversLoseNoWakeUp) {
    UniqueHandle ping(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    UniqueHandle pong(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    constexpr int kRounds = 20000;
    int answered = 0;
    std::thread partner([&] {
        for (int i = 0; i < kRounds; ++i) {
            if (WaitForSingleObject(ping.get(), 10000) != WAIT_OBJECT_0) {
                return;
            }
            ++answered;
            SetEvent(pong.get());
        }
    });
    int received = 0;
    for (int i = 0; i < kRounds; ++i) {
        SetEvent(ping.get());
        if (WaitForSingleObject(pong.get(), 10000) != WAIT_OBJECT_0) {
            break;
        }
        ++received;
    }
    partner.join();
    EXPECT_EQ(received, kRounds);
    EXPECT_EQ(answered, kRounds);
    // Every signal was consumed by exactly one wait.
    EXPECT_EQ(WaitForSingleObject(ping.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(WaitForSingleObject(pong.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

// A time limit shorter than the spin still ends the wait with a time-out, and a wait whose
// spins keep failing still wakes for a late signal.
TEST(Parking, ShortTimeLimitsAndLateSignalsAreHonouredWhileSpinning) {
    UniqueHandle event(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(WaitForSingleObject(event.get(), 1), static_cast<DWORD>(WAIT_TIMEOUT));
    }
    std::thread late([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        SetEvent(event.get());
    });
    EXPECT_EQ(WaitForSingleObject(event.get(), INFINITE), static_cast<DWORD>(WAIT_OBJECT_0));
    late.join();
}
