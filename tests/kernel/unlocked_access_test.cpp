#include <gtest/gtest.h>
#include <sched.h>

#include <atomic>
#include <thread>
#include <vector>

#include "kernel_test_support.h"

using kernel_test::UniqueHandle;

// The calls that take no lock must give the same answers as the locked ones.
TEST(UnlockedCalls, AgreeWithTheEventState) {
    UniqueHandle manual(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    UniqueHandle automatic(CreateEventA(nullptr, FALSE, TRUE, nullptr));
    EXPECT_EQ(WaitForSingleObject(manual.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(SetEvent(manual.get()));
    EXPECT_TRUE(SetEvent(manual.get()));  // already set: nothing changes
    EXPECT_EQ(WaitForSingleObject(manual.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(manual.get(), INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(ResetEvent(manual.get()));
    EXPECT_EQ(WaitForSingleObject(manual.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    // Setting a set auto-reset event twice still releases one wait only.
    EXPECT_TRUE(SetEvent(automatic.get()));
    EXPECT_EQ(WaitForSingleObject(automatic.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(automatic.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    // Other kinds of object and closed handles are refused as before.
    UniqueHandle semaphore(CreateSemaphoreA(nullptr, 1, 1, nullptr));
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(SetEvent(semaphore.get()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    HANDLE closed = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    ASSERT_TRUE(CloseHandle(closed));
    EXPECT_FALSE(SetEvent(closed));
    EXPECT_EQ(WaitForSingleObject(closed, 0), static_cast<DWORD>(WAIT_FAILED));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

// Readers without the lock look at events while another thread closes them: an object must
// not be freed under a reader (ThreadSanitizer reports it), and a closed handle must fail.
TEST(UnlockedCalls, SurviveHandlesClosedUnderThem) {
    constexpr int kHandles = 64;
    constexpr int kRounds = 300;
    std::vector<std::atomic<HANDLE>> handles(kHandles);
    for (auto& handle : handles) {
        handle.store(CreateEventA(nullptr, TRUE, TRUE, nullptr));
    }
    std::atomic<bool> done{false};
    std::atomic<long> wrongAnswers{0};
    std::vector<std::thread> readers;
    for (int r = 0; r < 2; ++r) {
        readers.emplace_back([&] {
            while (!done.load()) {
                for (auto& slot : handles) {
                    HANDLE handle = slot.load();
                    const DWORD wait = WaitForSingleObject(handle, 0);
                    if (wait != WAIT_OBJECT_0 && wait != WAIT_FAILED) {
                        ++wrongAnswers;  // every live handle names a set manual-reset event
                    }
                    SetEvent(handle);
                }
            }
        });
    }
    for (int round = 0; round < kRounds; ++round) {
        for (auto& slot : handles) {
            HANDLE fresh = CreateEventA(nullptr, TRUE, TRUE, nullptr);
            CloseHandle(slot.exchange(fresh));
        }
    }
    done.store(true);
    for (auto& reader : readers) {
        reader.join();
    }
    for (auto& slot : handles) {
        CloseHandle(slot.load());
    }
    EXPECT_EQ(wrongAnswers.load(), 0);
}

TEST(Thread, CreatedThreadsUseBatchScheduling) {
    int policy = -1;
    HANDLE thread = kernel_test::StartThread([&] {
        policy = sched_getscheduler(0);
        return DWORD{0};
    });
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_EQ(policy, SCHED_BATCH);
}
