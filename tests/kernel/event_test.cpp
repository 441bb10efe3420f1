#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "kernel_test_support.h"

using kernel_test::Eventually;
using kernel_test::LetThreadsBlock;
using kernel_test::UniqueHandle;

TEST(Event, ManualResetReleasesEveryWaiterAndStaysSet) {
    UniqueHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ASSERT_NE(event, nullptr);
    std::atomic<int> released{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i) {
        waiters.emplace_back([&] {
            if (WaitForSingleObject(event.get(), INFINITE) == WAIT_OBJECT_0) {
                ++released;
            }
        });
    }
    LetThreadsBlock();
    EXPECT_EQ(released, 0);
    ASSERT_TRUE(SetEvent(event.get()));
    for (auto& waiter : waiters) {
        waiter.join();
    }
    EXPECT_EQ(released, 3);
    EXPECT_EQ(WaitForSingleObject(event.get(), 0), WAIT_OBJECT_0);
    ASSERT_TRUE(ResetEvent(event.get()));
    EXPECT_EQ(WaitForSingleObject(event.get(), 0), WAIT_TIMEOUT);
}

TEST(Event, AutoResetReleasesOneWaiterPerSignal) {
    UniqueHandle event(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    constexpr int kWaiters = 4;
    std::atomic<int> released{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < kWaiters; ++i) {
        waiters.emplace_back([&] {
            if (WaitForSingleObject(event.get(), INFINITE) == WAIT_OBJECT_0) {
                ++released;
            }
        });
    }
    LetThreadsBlock();
    for (int signal = 1; signal <= kWaiters; ++signal) {
        ASSERT_TRUE(SetEvent(event.get()));
        ASSERT_TRUE(Eventually([&] { return released >= signal; }));
        LetThreadsBlock();
        EXPECT_EQ(released, signal) << "one SetEvent released more than one waiter";
    }
    for (auto& waiter : waiters) {
        waiter.join();
    }
    EXPECT_EQ(WaitForSingleObject(event.get(), 0), WAIT_TIMEOUT);
}

TEST(Event, AutoResetStaysSetUntilOneWaiterComes) {
    UniqueHandle event(CreateEventA(nullptr, FALSE, TRUE, nullptr));
    EXPECT_TRUE(SetEvent(event.get()));
    EXPECT_EQ(WaitForSingleObject(event.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event.get(), 0), WAIT_TIMEOUT);
}

TEST(Event, CallsOnOtherKindsOfHandleFail) {
    UniqueHandle mutex(CreateMutexA(nullptr, FALSE, nullptr));
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(SetEvent(mutex.get()));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(ResetEvent(nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}
