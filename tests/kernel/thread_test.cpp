#include <gtest/gtest.h>

#include <atomic>

#include "kernel_test_support.h"

using kernel_test::Eventually;
using kernel_test::StartThread;
using kernel_test::UniqueHandle;

namespace {
constexpr DWORD kTerminated = 0xFFFFFFFFu;

[[noreturn]] void LeaveFromDeepInside(DWORD code) {
    ExitThread(code);
}
}  // namespace

TEST(Thread, ReportsStillActiveThenItsExitCode) {
    UniqueHandle go(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    DWORD idInside = 0;
    DWORD idOutside = 0;
    UniqueHandle thread(StartThread(
        [&] {
            idInside = GetCurrentThreadId();
            WaitForSingleObject(go.get(), INFINITE);
            return DWORD{42};
        },
        0, &idOutside));
    ASSERT_NE(thread, nullptr);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(thread.get(), &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(thread.get(), 0), WAIT_TIMEOUT);
    SetEvent(go.get());
    ASSERT_EQ(WaitForSingleObject(thread.get(), INFINITE), WAIT_OBJECT_0);
    // An ended thread stays signalled.
    EXPECT_EQ(WaitForSingleObject(thread.get(), 0), WAIT_OBJECT_0);
    ASSERT_TRUE(GetExitCodeThread(thread.get(), &code));
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(idInside, idOutside);
    EXPECT_NE(idInside, GetCurrentThreadId());
}

TEST(Thread, SuspendedThreadRunsOnlyWhenResumed) {
    std::atomic<bool> ran{false};
    UniqueHandle thread(StartThread(
        [&] {
            ran = true;
            return DWORD{0};
        },
        CREATE_SUSPENDED));
    kernel_test::LetThreadsBlock();
    EXPECT_FALSE(ran);
    EXPECT_EQ(ResumeThread(thread.get()), 1u);
    ASSERT_EQ(WaitForSingleObject(thread.get(), INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(ran);
    EXPECT_EQ(ResumeThread(thread.get()), 0u);
    EXPECT_EQ(ResumeThread(nullptr), static_cast<DWORD>(-1));
}

TEST(Thread, ExitThreadEndsWithItsCode) {
    std::atomic<bool> afterExit{false};
    UniqueHandle thread(StartThread([&]() -> DWORD {
        LeaveFromDeepInside(7);
        afterExit = true;
        return 0;
    }));
    ASSERT_EQ(WaitForSingleObject(thread.get(), INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(thread.get(), &code);
    EXPECT_EQ(code, 7u);
    EXPECT_FALSE(afterExit);
}

TEST(Thread, PriorityIsRemembered) {
    UniqueHandle thread(StartThread([] { return DWORD{0}; }, CREATE_SUSPENDED));
    EXPECT_EQ(GetThreadPriority(thread.get()), THREAD_PRIORITY_NORMAL);
    EXPECT_TRUE(SetThreadPriority(thread.get(), THREAD_PRIORITY_BELOW_NORMAL));
    EXPECT_EQ(GetThreadPriority(thread.get()), THREAD_PRIORITY_BELOW_NORMAL);
    EXPECT_FALSE(SetThreadPriority(thread.get(), 5));
    EXPECT_EQ(GetThreadPriority(nullptr), THREAD_PRIORITY_ERROR_RETURN);
    ResumeThread(thread.get());
    WaitForSingleObject(thread.get(), INFINITE);
}

TEST(TerminateThread, CancelsABlockedWaitAndEveryLaterOne) {
    UniqueHandle never(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    UniqueHandle signalled(CreateEventA(nullptr, TRUE, TRUE, nullptr));
    std::atomic<bool> waiting{false};
    DWORD blockedResult = 0;
    DWORD blockedError = 0;
    DWORD laterResult = 0;
    UniqueHandle thread(StartThread([&] {
        waiting = true;
        blockedResult = WaitForSingleObject(never.get(), INFINITE);
        blockedError = GetLastError();
        laterResult = WaitForSingleObject(signalled.get(), 0);
        Sleep(INFINITE);
        return DWORD{5};
    }));
    ASSERT_TRUE(Eventually([&] { return waiting.load(); }));
    kernel_test::LetThreadsBlock();
    ASSERT_TRUE(TerminateThread(thread.get(), kTerminated));
    // TerminateThread returns only once the thread has ended.
    EXPECT_EQ(WaitForSingleObject(thread.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(blockedResult, WAIT_FAILED);
    EXPECT_EQ(blockedError, ERROR_OPERATION_ABORTED);
    EXPECT_EQ(laterResult, WAIT_FAILED);
    DWORD code = 0;
    GetExitCodeThread(thread.get(), &code);
    EXPECT_EQ(code, kTerminated);
    // Terminating an ended thread changes nothing.
    EXPECT_TRUE(TerminateThread(thread.get(), 3));
    GetExitCodeThread(thread.get(), &code);
    EXPECT_EQ(code, kTerminated);
}

TEST(TerminateThread, EndsASleepingThread) {
    std::atomic<bool> sleeping{false};
    UniqueHandle thread(StartThread([&] {
        sleeping = true;
        Sleep(INFINITE);
        return DWORD{0};
    }));
    ASSERT_TRUE(Eventually([&] { return sleeping.load(); }));
    ASSERT_TRUE(TerminateThread(thread.get(), 99));
    DWORD code = 0;
    GetExitCodeThread(thread.get(), &code);
    EXPECT_EQ(code, 99u);
}

TEST(TerminateThread, ASuspendedThreadNeverRuns) {
    static std::atomic<bool> ran{false};
    // A plain function: the thread body never starts, so nothing may need freeing.
    UniqueHandle thread(CreateThread(
        nullptr, 0,
        [](LPVOID) -> DWORD {
            ran = true;
            return 0;
        },
        nullptr, CREATE_SUSPENDED, nullptr));
    ASSERT_TRUE(TerminateThread(thread.get(), kTerminated));
    DWORD code = 0;
    GetExitCodeThread(thread.get(), &code);
    EXPECT_EQ(code, kTerminated);
    EXPECT_FALSE(ran);
}

TEST(TerminateThread, AbandonsWhatTheThreadOwned) {
    UniqueHandle mutex(CreateMutexA(nullptr, FALSE, nullptr));
    std::atomic<bool> owns{false};
    UniqueHandle thread(StartThread([&] {
        owns = WaitForSingleObject(mutex.get(), INFINITE) == WAIT_OBJECT_0;
        Sleep(INFINITE);
        return DWORD{0};
    }));
    ASSERT_TRUE(Eventually([&] { return owns.load(); }));
    ASSERT_TRUE(TerminateThread(thread.get(), kTerminated));
    EXPECT_EQ(WaitForSingleObject(mutex.get(), 0), WAIT_ABANDONED);
    ReleaseMutex(mutex.get());
}

TEST(TerminateThread, RacesSafelyWithTheThreadsOwnEnd) {
    // Threads that end by themselves at about the moment they are terminated: either exit code
    // is fine, but every call returns, and the handle is signalled afterwards.
    // The body's context lives here, not on the heap: a terminated thread frees nothing.
    struct Work {
        HANDLE event;
        DWORD steps;
    };
    UniqueHandle event(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    for (int round = 0; round < 200; ++round) {
        Work work{event.get(), static_cast<DWORD>(round % 4)};
        UniqueHandle thread(CreateThread(
            nullptr, 0,
            [](LPVOID context) -> DWORD {
                const Work& work = *static_cast<const Work*>(context);
                for (DWORD i = 0; i < work.steps; ++i) {
                    WaitForSingleObject(work.event, 0);
                    Sleep(0);
                }
                return DWORD{1};
            },
            &work, 0, nullptr));
        if (round % 3 == 0) {
            SetEvent(event.get());
        }
        ASSERT_TRUE(TerminateThread(thread.get(), kTerminated));
        ASSERT_EQ(WaitForSingleObject(thread.get(), 0), WAIT_OBJECT_0);
        DWORD code = 0;
        GetExitCodeThread(thread.get(), &code);
        EXPECT_TRUE(code == 1 || code == kTerminated) << code;
    }
}
