// Other threads and the UI thread: posting, sending across threads, and what other threads may
// not do. Runs under ThreadSanitizer in CI.
#include <atomic>
#include <thread>
#include <vector>

#include "ui_test_support.h"

namespace farvane::ui::testing {
namespace {

class ThreadsTest : public HeadlessTest {};

TEST_F(ThreadsTest, CrossThreadSendWaitsForTheUiThreadAndPostsAreOrdered) {
    HWND window = CreateRecorder();
    PumpPendingMessages();
    Log().clear();
    LRESULT sent = -1;
    std::thread worker([&] {
        for (int i = 0; i < 50; ++i) {
            PostMessageA(window, WM_USER + 1, static_cast<WPARAM>(i), 0);
        }
        sent = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
        PostMessageA(window, WM_USER + 2, 0, 0);
    });
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        DispatchMessageA(&msg);
        if (msg.message == WM_USER + 2) {
            break;
        }
    }
    worker.join();
    EXPECT_EQ(sent, 8);  // strlen("Recorder"), computed on the UI thread
    WPARAM expected = 0;
    for (const Received& r : Log()) {
        if (r.message == WM_USER + 1) {
            EXPECT_EQ(r.wParam, expected++);
        }
    }
    EXPECT_EQ(expected, 50u);
}

TEST_F(ThreadsTest, OtherThreadsCannotCreateOrDestroyWindows) {
    HWND window = CreateRecorder();
    HWND created = reinterpret_cast<HWND>(1);
    BOOL destroyed = TRUE;
    std::thread worker([&] {
        created = CreateRecorder("other");
        destroyed = DestroyWindow(window);
    });
    worker.join();
    EXPECT_EQ(created, nullptr);
    EXPECT_FALSE(destroyed);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(ThreadsTest, ManyPostersLoseNothingAndWakeTheLoop) {
    HWND window = CreateRecorder();
    PumpPendingMessages();
    Log().clear();
    constexpr int kThreads = 4;
    constexpr int kEach = 200;
    std::vector<std::thread> posters;
    for (int t = 0; t < kThreads; ++t) {
        posters.emplace_back([window, t] {
            for (int i = 0; i < kEach; ++i) {
                while (!PostMessageA(window, WM_USER + 1, static_cast<WPARAM>(t), i)) {
                    std::this_thread::yield();  // the queue was full: the loop drains it
                }
            }
        });
    }
    int received = 0;
    std::vector<int> lastOfThread(kThreads, -1);
    MSG msg;
    while (received < kThreads * kEach && GetMessageA(&msg, nullptr, 0, 0)) {
        if (msg.message == WM_USER + 1) {
            // Each poster's messages arrive in the order it posted them.
            EXPECT_EQ(msg.lParam, lastOfThread[msg.wParam] + 1);
            lastOfThread[msg.wParam] = static_cast<int>(msg.lParam);
            ++received;
        }
        DispatchMessageA(&msg);
    }
    for (std::thread& poster : posters) {
        poster.join();
    }
    EXPECT_EQ(received, kThreads * kEach);
    // Posting to a window destroyed meanwhile fails instead of reaching a stale record.
    DestroyWindow(window);
    std::atomic<BOOL> late{TRUE};
    std::thread([&] { late = PostMessageA(window, WM_USER, 0, 0); }).join();
    EXPECT_FALSE(late);
}

TEST_F(ThreadsTest, PostedTasksRunOnTheUiThreadInOrderAndNeverInsideTheCaller) {
    HWND window = CreateRecorder();
    const std::thread::id uiThread = std::this_thread::get_id();
    std::vector<int> ran;
    bool allOnUiThread = true;
    auto task = [&](int number) {
        return [&, number] {
            ran.push_back(number);
            allOnUiThread = allOnUiThread && std::this_thread::get_id() == uiThread;
            // A task may make windows, which only the UI thread may do.
            if (number == 2) {
                EXPECT_NE(CreateRecorder("made by a task"), nullptr);
            }
        };
    };
    ASSERT_TRUE(PostUiTask(task(0)));
    EXPECT_TRUE(ran.empty());  // not inside the caller
    std::thread worker([&] {
        for (int number = 1; number <= 3; ++number) {
            PostUiTask(task(number));
        }
        PostMessageA(window, WM_USER + 3, 0, 0);
    });
    worker.join();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        DispatchMessageA(&msg);
        if (msg.message == WM_USER + 3) {
            break;
        }
    }
    EXPECT_EQ(ran, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(allOnUiThread);
    EXPECT_FALSE(PostUiTask(nullptr));
}

}  // namespace
}  // namespace farvane::ui::testing
