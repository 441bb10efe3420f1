#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "kernel_test_support.h"
#include "platform/kernel/critical_section.h"

using kernel_test::StartThread;
using kernel_test::UniqueHandle;

namespace {
DWORD TryFromOtherThread(HANDLE handle) {
    DWORD result = 0;
    std::thread([&] {
        result = WaitForSingleObject(handle, 0);
        if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) {
            ReleaseMutex(handle);
        }
    }).join();
    return result;
}
}  // namespace

TEST(Mutex, OwnerReentersAndMustReleaseAsOften) {
    UniqueHandle mutex(CreateMutexA(nullptr, TRUE, nullptr));
    ASSERT_EQ(WaitForSingleObject(mutex.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(TryFromOtherThread(mutex.get()), WAIT_TIMEOUT);
    ASSERT_TRUE(ReleaseMutex(mutex.get()));
    EXPECT_EQ(TryFromOtherThread(mutex.get()), WAIT_TIMEOUT);
    ASSERT_TRUE(ReleaseMutex(mutex.get()));
    EXPECT_EQ(TryFromOtherThread(mutex.get()), WAIT_OBJECT_0);
    EXPECT_FALSE(ReleaseMutex(mutex.get()));
    EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
}

TEST(Mutex, ReleaseByNonOwnerFails) {
    UniqueHandle mutex(CreateMutexA(nullptr, TRUE, nullptr));
    std::thread([&] {
        EXPECT_FALSE(ReleaseMutex(mutex.get()));
        EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
    }).join();
    EXPECT_TRUE(ReleaseMutex(mutex.get()));
}

TEST(Mutex, OwnerThreadEndingAbandonsIt) {
    UniqueHandle mutex(CreateMutexA(nullptr, FALSE, nullptr));
    UniqueHandle thread(StartThread([&] { return WaitForSingleObject(mutex.get(), 0); }));
    ASSERT_EQ(WaitForSingleObject(thread.get(), INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(mutex.get(), 0), WAIT_ABANDONED);
    // The abandoned state is reported once; the new owner holds it normally.
    ASSERT_TRUE(ReleaseMutex(mutex.get()));
    EXPECT_EQ(WaitForSingleObject(mutex.get(), 0), WAIT_OBJECT_0);
    ASSERT_TRUE(ReleaseMutex(mutex.get()));
}

TEST(Mutex, AbandonmentReachesABlockedWaitAtItsIndex) {
    // The owner is a plain std::thread: its record's thread-local guard abandons the mutex.
    UniqueHandle mutex(CreateMutexA(nullptr, FALSE, nullptr));
    UniqueHandle ownerMayEnd(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    UniqueHandle never(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::atomic<bool> owned{false};
    std::thread owner([&] {
        owned = WaitForSingleObject(mutex.get(), 0) == WAIT_OBJECT_0;
        WaitForSingleObject(ownerMayEnd.get(), INFINITE);
    });
    ASSERT_TRUE(kernel_test::Eventually([&] { return owned.load(); }));
    DWORD result = 0;
    std::thread waiter([&] {
        HANDLE handles[2] = {never.get(), mutex.get()};
        result = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        ReleaseMutex(mutex.get());
    });
    kernel_test::LetThreadsBlock();
    SetEvent(ownerMayEnd.get());
    owner.join();
    waiter.join();
    EXPECT_EQ(result, WAIT_ABANDONED_0 + 1);
}

TEST(CriticalSection, IsReentrantAndExcludesOtherThreads) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    const auto otherThreadEnters = [&] {
        BOOL entered = FALSE;
        std::thread([&] {
            entered = TryEnterCriticalSection(&section);
            if (entered) {
                LeaveCriticalSection(&section);
            }
        }).join();
        return entered != FALSE;
    };
    EnterCriticalSection(&section);
    EXPECT_TRUE(TryEnterCriticalSection(&section));
    EXPECT_FALSE(otherThreadEnters());
    LeaveCriticalSection(&section);
    EXPECT_FALSE(otherThreadEnters());
    LeaveCriticalSection(&section);
    EXPECT_TRUE(otherThreadEnters());
    DeleteCriticalSection(&section);
}

TEST(CriticalSection, GuardsPlainDataUnderContention) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    long counter = 0;  // deliberately not atomic: the section must order every access
    constexpr int kThreads = 4;
    constexpr int kRounds = 20000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kRounds; ++i) {
                EnterCriticalSection(&section);
                EnterCriticalSection(&section);
                ++counter;
                LeaveCriticalSection(&section);
                LeaveCriticalSection(&section);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(counter, long{kThreads} * kRounds);
    DeleteCriticalSection(&section);
}
