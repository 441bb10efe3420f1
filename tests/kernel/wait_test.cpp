#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "kernel_test_support.h"

using kernel_test::ScopedTimeScale;
using kernel_test::UniqueHandle;

TEST(WaitAny, LowestSignalledIndexWinsAndOnlyItIsTaken) {
    UniqueHandle never(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    UniqueHandle first(CreateSemaphoreA(nullptr, 1, 5, nullptr));
    UniqueHandle second(CreateEventA(nullptr, FALSE, TRUE, nullptr));
    HANDLE handles[3] = {never.get(), first.get(), second.get()};
    EXPECT_EQ(WaitForMultipleObjects(3, handles, FALSE, 0), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForMultipleObjects(3, handles, FALSE, 0), WAIT_OBJECT_0 + 2);
    EXPECT_EQ(WaitForMultipleObjects(3, handles, FALSE, 0), WAIT_TIMEOUT);
}

TEST(WaitAll, TakesNothingUntilEverythingIsSignalled) {
    UniqueHandle event(CreateEventA(nullptr, FALSE, TRUE, nullptr));
    UniqueHandle semaphore(CreateSemaphoreA(nullptr, 0, 1, nullptr));
    HANDLE handles[2] = {event.get(), semaphore.get()};
    EXPECT_EQ(WaitForMultipleObjects(2, handles, TRUE, 0), WAIT_TIMEOUT);

    DWORD result = 0;
    std::thread waiter([&] { result = WaitForMultipleObjects(2, handles, TRUE, INFINITE); });
    kernel_test::LetThreadsBlock();
    // The blocked wait for all holds nothing: the event is still there for another thread.
    EXPECT_EQ(WaitForSingleObject(event.get(), 0), WAIT_OBJECT_0);
    ASSERT_TRUE(ReleaseSemaphore(semaphore.get(), 1, nullptr));
    kernel_test::LetThreadsBlock();
    ASSERT_TRUE(SetEvent(event.get()));
    waiter.join();
    EXPECT_EQ(result, WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event.get(), 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(semaphore.get(), 0), WAIT_TIMEOUT);
}

TEST(WaitAll, ExcludesSingleWaitersUnderContention) {
    // Two binary semaphores used as locks: one thread takes both at once, two others one each.
    UniqueHandle a(CreateSemaphoreA(nullptr, 1, 1, nullptr));
    UniqueHandle b(CreateSemaphoreA(nullptr, 1, 1, nullptr));
    std::atomic<int> holdersOfA{0};
    std::atomic<int> holdersOfB{0};
    std::atomic<bool> overlap{false};
    const auto hold = [&](std::atomic<int>& holders) {
        if (++holders > 1) {
            overlap = true;
        }
    };
    constexpr int kRounds = 2000;
    std::thread both([&] {
        HANDLE handles[2] = {a.get(), b.get()};
        for (int i = 0; i < kRounds; ++i) {
            ASSERT_EQ(WaitForMultipleObjects(2, handles, TRUE, INFINITE), WAIT_OBJECT_0);
            hold(holdersOfA);
            hold(holdersOfB);
            --holdersOfA;
            --holdersOfB;
            ReleaseSemaphore(b.get(), 1, nullptr);
            ReleaseSemaphore(a.get(), 1, nullptr);
        }
    });
    const auto single = [&](HANDLE handle, std::atomic<int>& holders) {
        for (int i = 0; i < kRounds; ++i) {
            ASSERT_EQ(WaitForSingleObject(handle, INFINITE), WAIT_OBJECT_0);
            hold(holders);
            --holders;
            ReleaseSemaphore(handle, 1, nullptr);
        }
    };
    std::thread onlyA(single, a.get(), std::ref(holdersOfA));
    std::thread onlyB(single, b.get(), std::ref(holdersOfB));
    both.join();
    onlyA.join();
    onlyB.join();
    EXPECT_FALSE(overlap);
}

TEST(Wait, TimesOutAfterTheGivenTimeOfTheLayersClock) {
    ScopedTimeScale fast(1000);
    UniqueHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    HANDLE handles[1] = {event.get()};
    const DWORD start = GetTickCount();
    EXPECT_EQ(WaitForSingleObject(event.get(), 5000), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForMultipleObjects(1, handles, TRUE, 5000), WAIT_TIMEOUT);
    EXPECT_GE(GetTickCount() - start, 10000u);
}

TEST(Wait, BadHandlesAndCountsFail) {
    UniqueHandle event(CreateEventA(nullptr, TRUE, TRUE, nullptr));
    HANDLE closed = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    ASSERT_TRUE(CloseHandle(closed));
    const HANDLE bad[] = {nullptr, closed, INVALID_HANDLE_VALUE,
                          reinterpret_cast<HANDLE>(std::uintptr_t{0x1234}),
                          reinterpret_cast<HANDLE>(std::uintptr_t{0x7FFFFFF0})};
    for (HANDLE handle : bad) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(WaitForSingleObject(handle, 0), WAIT_FAILED);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        // One bad handle fails the whole wait, even beside a signalled one.
        HANDLE pair[2] = {event.get(), handle};
        EXPECT_EQ(WaitForMultipleObjects(2, pair, FALSE, 0), WAIT_FAILED);
    }
    std::vector<HANDLE> many(MAXIMUM_WAIT_OBJECTS + 1, event.get());
    EXPECT_EQ(WaitForMultipleObjects(0, many.data(), FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(WaitForMultipleObjects(MAXIMUM_WAIT_OBJECTS + 1, many.data(), FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(WaitForMultipleObjects(MAXIMUM_WAIT_OBJECTS, many.data(), FALSE, 0), WAIT_OBJECT_0);
    // Naming one object twice in a wait for all is refused.
    EXPECT_EQ(WaitForMultipleObjects(2, many.data(), TRUE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(CloseHandle, ClosesEachHandleOnceAndNeverRevivesIt) {
    HANDLE first = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(CloseHandle(first));
    EXPECT_FALSE(CloseHandle(first));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    // Many later objects never get the closed handle's value.
    std::vector<HANDLE> later;
    for (int i = 0; i < 3000; ++i) {
        HANDLE handle = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        EXPECT_NE(handle, first);
        ASSERT_TRUE(CloseHandle(handle));
    }
    EXPECT_EQ(WaitForSingleObject(first, 0), WAIT_FAILED);
}

TEST(Sleep, LastsTheGivenTimeOfTheLayersClock) {
    ScopedTimeScale fast(1000);
    const DWORD start = GetTickCount();
    Sleep(3000);
    EXPECT_GE(GetTickCount() - start, 3000u);
}
