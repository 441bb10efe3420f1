#include <gtest/gtest.h>

#include <chrono>

#include "kernel_test_support.h"

TEST(Tick, DifferencesSurviveTheWrapAt32Bits) {
    // At this scale the 32-bit millisecond count wraps about every 0.4 s of real time.
    kernel_test::ScopedTimeScale fast(10'000'000);
    DWORD previous = GetTickCount();
    bool wrapped = false;
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!wrapped && std::chrono::steady_clock::now() < limit) {
        const DWORD now = GetTickCount();
        wrapped = now < previous;
        if (wrapped) {
            // Unsigned subtraction still gives the short real distance.
            EXPECT_LT(now - previous, 0x80000000u);
        }
        previous = now;
    }
    EXPECT_TRUE(wrapped);
}

TEST(Tick, StaysMonotonicAcrossScaleChanges) {
    const DWORD before = GetTickCount();
    {
        kernel_test::ScopedTimeScale fast(1000);
        Sleep(2000);
        const DWORD during = GetTickCount();
        EXPECT_GE(during - before, 2000u);
        EXPECT_LT(during - before, 0x80000000u);
    }
    EXPECT_EQ(KernelTimeScale(), 1u);
    const DWORD after = GetTickCount();
    EXPECT_GE(after - before, 2000u);
    EXPECT_LT(after - before, 0x80000000u);
}
