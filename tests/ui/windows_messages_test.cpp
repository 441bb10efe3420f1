// Window lifecycle, message order, sending and posting, the loop, timers, focus and bad handles.
#include "ui_test_support.h"

namespace farvane::ui::testing {
namespace {

using ::testing::ElementsAre;

class WindowsTest : public HeadlessTest {};

TEST_F(WindowsTest, CreationAndDestructionSendMessagesInPlatformOrder) {
    HWND window = CreateRecorder();
    ASSERT_TRUE(IsWindow(window));
    EXPECT_THAT(LoggedNames(window),
                ElementsAre("WM_NCCREATE", "WM_CREATE", "WM_SIZE", "WM_MOVE", "WM_SHOWWINDOW",
                            "WM_NCACTIVATE", "WM_ACTIVATE", "WM_SETFOCUS"));
    HWND child = CreateRecorder("child", WS_CHILD | WS_VISIBLE, window, 7);
    Log().clear();
    ASSERT_TRUE(DestroyWindow(window));
    // Focus leaves first; destruction goes parent first, the final message children first.
    std::vector<std::string> names;
    for (const Received& r : Log()) {
        names.push_back(MessageName(r.message) + (r.window == child ? "(child)" : ""));
    }
    EXPECT_THAT(names, ElementsAre("WM_KILLFOCUS", "WM_NCACTIVATE", "WM_ACTIVATE", "WM_DESTROY",
                                   "WM_DESTROY(child)", "WM_NCDESTROY(child)", "WM_NCDESTROY"));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(child));
}

TEST_F(WindowsTest, ChildCreationNotifiesParentAndTakesItsId) {
    HWND parent = CreateRecorder();
    Log().clear();
    HWND child = CreateRecorder("child", WS_CHILD | WS_VISIBLE, parent, 42);
    EXPECT_EQ(GetDlgCtrlID(child), 42);
    EXPECT_EQ(GetParent(child), parent);
    EXPECT_TRUE(IsChild(parent, child));
    EXPECT_THAT(LoggedNames(parent), ElementsAre("WM_PARENTNOTIFY"));
    for (const Received& r : Log()) {
        if (r.window == parent) {
            EXPECT_EQ(LOWORD(r.wParam), WM_CREATE);
            EXPECT_EQ(HIWORD(r.wParam), 42);
            EXPECT_EQ(reinterpret_cast<HWND>(r.lParam), child);
        }
    }
}

TEST_F(WindowsTest, CreateFailsForUnknownClassOrBadParent) {
    EXPECT_EQ(
        CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
        nullptr);
    HWND gone = CreateRecorder();
    DestroyWindow(gone);
    EXPECT_EQ(CreateRecorder("orphan", WS_CHILD, gone), nullptr);
}

TEST_F(WindowsTest, DestroyedHandleIsDetectedAndNeverReused) {
    HWND first = CreateRecorder();
    DestroyWindow(first);
    HWND second = CreateRecorder();
    EXPECT_NE(first, second);  // the slot is reused with a new generation
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(SendMessageA(first, WM_USER, 0, 0), 0);
    EXPECT_FALSE(PostMessageA(first, WM_USER, 0, 0));
    EXPECT_FALSE(SetWindowTextA(first, "x"));
    char text[8] = "keep";
    EXPECT_EQ(GetWindowTextA(first, text, sizeof text), 0);
    EXPECT_FALSE(DestroyWindow(first));
    EXPECT_FALSE(ShowWindow(first, SW_SHOW));
    EXPECT_EQ(GetWindowLongPtrA(first, GWL_USERDATA), 0);
    RECT rect;
    EXPECT_FALSE(GetClientRect(first, &rect));
    EXPECT_FALSE(InvalidateRect(first, nullptr, TRUE));
    EXPECT_EQ(GetDC(first), nullptr);
    // Handles of other kinds are not windows.
    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(CreateMenu())));
    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(std::uintptr_t{0x1234})));
    EXPECT_TRUE(IsWindow(second));
}

TEST_F(WindowsTest, SentMessagesRunAtOncePostedOnesInTheLoop) {
    HWND window = CreateRecorder();
    Log().clear();
    PostMessageA(window, WM_USER + 1, 1, 0);
    SendMessageA(window, WM_USER, 0, 0);
    PostMessageA(window, WM_USER + 2, 2, 0);
    EXPECT_THAT(LoggedNames(window), ElementsAre("WM_USER"));
    PostQuitMessage(3);
    MSG msg;
    std::vector<UINT> seen;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        seen.push_back(msg.message);
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
    // Posted messages come before the quit, in the order posted; paint waits behind them.
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[0], WM_USER + 1);
    EXPECT_EQ(seen[1], WM_USER + 2);
    EXPECT_THAT(LoggedNames(window), ElementsAre("WM_USER", "WM_USER+1", "WM_USER+2"));
}

TEST_F(WindowsTest, PaintComesAfterPostedMessagesAndStopsOnceValidated) {
    HWND window = CreateRecorder();
    PumpPendingMessages();
    Log().clear();
    InvalidateRect(window, nullptr, TRUE);
    PostMessageA(window, WM_USER, 0, 0);
    PumpPendingMessages();
    EXPECT_THAT(LoggedNames(window), ElementsAre("WM_USER", "WM_PAINT", "WM_ERASEBKGND"));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(WindowsTest, PeekFiltersByWindowAndRange) {
    HWND a = CreateRecorder("a");
    HWND b = CreateRecorder("b");
    PumpPendingMessages();
    PostMessageA(a, WM_USER, 0, 0);
    PostMessageA(b, WM_MOUSEMOVE, 0, 0);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE));
    EXPECT_EQ(msg.hwnd, b);
    EXPECT_TRUE(PeekMessageA(&msg, a, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER);
    EXPECT_FALSE(PeekMessageA(&msg, a, 0, 0, PM_REMOVE));
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_MOUSEMOVE);
}

TEST_F(WindowsTest, PostedMessagesOfADestroyedWindowAreDropped) {
    HWND window = CreateRecorder();
    PumpPendingMessages();
    PostMessageA(window, WM_USER, 0, 0);
    DestroyWindow(window);
    Log().clear();
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(Log().empty());
}

TEST_F(WindowsTest, TimersFireThroughTheLoopUntilKilled) {
    HWND window = CreateRecorder();
    ASSERT_EQ(SetTimer(window, 5, 10, nullptr), 5u);
    MSG msg;
    int fired = 0;
    while (fired < 3 && GetMessageA(&msg, nullptr, 0, 0)) {
        if (msg.message == WM_TIMER) {
            EXPECT_EQ(msg.wParam, 5u);
            ++fired;
        }
        DispatchMessageA(&msg);
    }
    EXPECT_TRUE(KillTimer(window, 5));
    EXPECT_FALSE(KillTimer(window, 5));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    // A timer of a destroyed window goes with it.
    SetTimer(window, 6, 10, nullptr);
    DestroyWindow(window);
    EXPECT_FALSE(KillTimer(window, 6));
}

TEST_F(WindowsTest, TimerProcedureIsCalledInsteadOfTheWindow) {
    static int calls = 0;
    calls = 0;
    UINT_PTR id = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) { ++calls; });
    ASSERT_NE(id, 0u);
    MSG msg;
    while (calls == 0 && GetMessageA(&msg, nullptr, 0, 0)) {
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(KillTimer(nullptr, id));
}

TEST_F(WindowsTest, FocusMovesWithKillAndSetFocusMessages) {
    HWND frame = CreateRecorder();
    HWND a = CreateRecorder("a", WS_CHILD | WS_VISIBLE, frame, 1);
    HWND b = CreateRecorder("b", WS_CHILD | WS_VISIBLE, frame, 2);
    SetFocus(a);
    Log().clear();
    EXPECT_EQ(SetFocus(b), a);
    ASSERT_EQ(Log().size(), 2u);
    EXPECT_EQ(Log()[0].window, a);
    EXPECT_EQ(Log()[0].message, WM_KILLFOCUS);
    EXPECT_EQ(reinterpret_cast<HWND>(Log()[0].wParam), b);
    EXPECT_EQ(Log()[1].window, b);
    EXPECT_EQ(Log()[1].message, WM_SETFOCUS);
    EXPECT_EQ(GetFocus(), b);
    // A disabled window cannot take the focus; disabling the focus window drops it.
    EnableWindow(a, FALSE);
    EXPECT_EQ(SetFocus(a), nullptr);
    EnableWindow(b, FALSE);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WindowsTest, ShowStatesAndSizeMessages) {
    HWND window = CreateRecorder();
    Log().clear();
    ShowWindow(window, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(window));
    ShowWindow(window, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(window));
    ShowWindow(window, SW_RESTORE);
    EXPECT_FALSE(IsIconic(window) || IsZoomed(window));
    RECT rect;
    GetClientRect(window, &rect);
    EXPECT_EQ(rect.right, 320);
    EXPECT_EQ(rect.bottom, 160);
    std::vector<WPARAM> kinds;
    for (const Received& r : Log()) {
        if (r.message == WM_SIZE) {
            kinds.push_back(r.wParam);
        }
    }
    EXPECT_THAT(kinds, ElementsAre(SIZE_MINIMIZED, SIZE_MAXIMIZED, SIZE_RESTORED));
    EXPECT_TRUE(ShowWindow(window, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_FALSE(ShowWindow(window, SW_HIDE));
}

TEST_F(WindowsTest, WindowDataAndExtraBytesAreBoundsChecked) {
    HWND window = CreateRecorder();
    EXPECT_EQ(SetWindowLongPtrA(window, GWL_USERDATA, 77), 0);
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_USERDATA), 77);
    EXPECT_EQ(SetWindowLongA(window, 4, 9), 0);
    EXPECT_EQ(GetWindowLongA(window, 4), 9);
    EXPECT_EQ(SetWindowLongPtrA(window, 8, 123456789012LL), 0);
    EXPECT_EQ(GetWindowLongPtrA(window, 8), 123456789012LL);
    // Past the 16 extra bytes of the class: refused.
    EXPECT_EQ(SetWindowLongPtrA(window, 12, 5), 0);
    EXPECT_EQ(GetWindowLongA(window, 16), 0);
    EXPECT_EQ(GetWindowLongA(window, 4), 9);
}

TEST_F(WindowsTest, KeyInputIsTranslatedToCharacters) {
    HWND window = CreateRecorder();
    PumpPendingMessages();
    Log().clear();
    PostKeyEvent('A', true, KeyModifiers{true, false, false});
    PostKeyEvent('A', false, KeyModifiers{true, false, false});
    PumpPendingMessages();
    std::vector<std::string> names = LoggedNames(window);
    EXPECT_THAT(names, ElementsAre("WM_KEYDOWN", "WM_CHAR", "WM_KEYUP"));
    EXPECT_EQ(Log()[1].wParam, static_cast<WPARAM>('A'));
    PostKeyEvent('S', true, KeyModifiers{false, true, false});
    EXPECT_TRUE(GetKeyState(VK_CONTROL) & 0x8000);
}

}  // namespace
}  // namespace farvane::ui::testing
