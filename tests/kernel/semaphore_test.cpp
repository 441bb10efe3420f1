#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "kernel_test_support.h"

using kernel_test::UniqueHandle;

TEST(Semaphore, CountsUnitsUpToItsMaximum) {
    UniqueHandle semaphore(CreateSemaphoreA(nullptr, 2, 3, nullptr));
    ASSERT_NE(semaphore, nullptr);
    EXPECT_EQ(WaitForSingleObject(semaphore.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(semaphore.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(semaphore.get(), 0), WAIT_TIMEOUT);
    LONG previous = -1;
    ASSERT_TRUE(ReleaseSemaphore(semaphore.get(), 2, &previous));
    EXPECT_EQ(previous, 0);
    // 2 + 2 would pass the maximum of 3: refused, and the count is left as it was.
    previous = -1;
    EXPECT_FALSE(ReleaseSemaphore(semaphore.get(), 2, &previous));
    EXPECT_EQ(GetLastError(), ERROR_TOO_MANY_POSTS);
    EXPECT_EQ(previous, -1);
    ASSERT_TRUE(ReleaseSemaphore(semaphore.get(), 1, &previous));
    EXPECT_EQ(previous, 2);
}

TEST(Semaphore, RejectsBadCounts) {
    for (auto [initial, maximum] : {std::pair{-1, 3}, {4, 3}, {0, 0}}) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(CreateSemaphoreA(nullptr, initial, maximum, nullptr), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    UniqueHandle semaphore(CreateSemaphoreA(nullptr, 0, 3, nullptr));
    EXPECT_FALSE(ReleaseSemaphore(semaphore.get(), 0, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(Semaphore, ReleaseWakesAsManyWaitersAsUnits) {
    UniqueHandle semaphore(CreateSemaphoreA(nullptr, 0, 10, nullptr));
    std::atomic<int> passed{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i) {
        waiters.emplace_back([&] {
            if (WaitForSingleObject(semaphore.get(), INFINITE) == WAIT_OBJECT_0) {
                ++passed;
            }
        });
    }
    kernel_test::LetThreadsBlock();
    ASSERT_TRUE(ReleaseSemaphore(semaphore.get(), 2, nullptr));
    ASSERT_TRUE(kernel_test::Eventually([&] { return passed == 2; }));
    kernel_test::LetThreadsBlock();
    EXPECT_EQ(passed, 2);
    ASSERT_TRUE(ReleaseSemaphore(semaphore.get(), 1, nullptr));
    for (auto& waiter : waiters) {
        waiter.join();
    }
    EXPECT_EQ(passed, 3);
    EXPECT_EQ(WaitForSingleObject(semaphore.get(), 0), WAIT_TIMEOUT);
}
