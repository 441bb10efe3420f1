// Painting into the character grid, scrolling, the caret, menus and accelerators.
#include <cstring>

#include "platform/ui/ui_state.h"
#include "ui_test_support.h"

namespace farvane::ui::testing {
namespace {

using ::testing::ElementsAre;

LRESULT TextWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        SelectObject(dc, GetStockObject(SYSTEM_FIXED_FONT));
        TEXTMETRICA metrics;
        GetTextMetricsA(dc, &metrics);
        const char* lines[] = {"first line", "second", "third"};
        for (int i = 0; i < 3; ++i) {
            if (i == 1) {
                SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
                SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            } else {
                SetBkColor(dc, GetSysColor(COLOR_WINDOW));
                SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            }
            TextOutA(dc, 0, i * metrics.tmHeight, lines[i],
                     static_cast<int>(std::strlen(lines[i])));
        }
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class PaintingMenusTest : public HeadlessTest {
protected:
    HWND TextWindow() {
        WNDCLASSA cls;
        cls.lpfnWndProc = TextWindowProc;
        cls.lpszClassName = "TextWindow";
        cls.hbrBackground = GetStockObject(WHITE_BRUSH);
        RegisterClassA(&cls);
        return CreateWindowExA(0, "TextWindow", "text", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 160,
                               64, nullptr, nullptr, nullptr, nullptr);
    }
};

TEST_F(PaintingMenusTest, TextWindowsRenderAsCharacterGrids) {
    HWND window = TextWindow();
    UpdateWindow(window);
    GridSurface* grid = HeadlessBackend::GridOf(window);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->columns(), 20);
    EXPECT_EQ(grid->rows(), 4);
    EXPECT_EQ(grid->row(0), "first line          ");
    EXPECT_EQ(grid->row(1), "second              ");
    EXPECT_EQ(grid->backColorAt(0, 1), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(grid->backColorAt(0, 0), GetSysColor(COLOR_WINDOW));
    // Scrolling moves the rows and leaves the uncovered one to be painted.
    ScrollWindow(window, 0, -16, nullptr, nullptr);
    EXPECT_EQ(grid->row(0), "second              ");
    RECT update;
    EXPECT_TRUE(GetUpdateRect(window, &update, FALSE));
    EXPECT_EQ(update.top, 48);
    EXPECT_EQ(update.bottom, 64);
}

TEST_F(PaintingMenusTest, PaintIsClippedToTheInvalidRectangle) {
    HWND window = TextWindow();
    UpdateWindow(window);
    GridSurface* grid = HeadlessBackend::GridOf(window);
    HDC dc = GetDC(window);
    RECT all{0, 0, 160, 64};
    FillRect(dc, &all, GetStockObject(WHITE_BRUSH));
    ReleaseDC(window, dc);
    RECT second{0, 16, 160, 32};
    InvalidateRect(window, &second, FALSE);
    UpdateWindow(window);
    EXPECT_EQ(grid->row(0), std::string(20, ' '));
    EXPECT_EQ(grid->row(1), "second              ");
    EXPECT_EQ(grid->row(2), std::string(20, ' '));
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
}

TEST_F(PaintingMenusTest, DeviceContextsFailOnBadHandles) {
    HWND window = TextWindow();
    HDC dc = GetDC(window);
    EXPECT_TRUE(ReleaseDC(window, dc));
    EXPECT_FALSE(TextOutA(dc, 0, 0, "x", 1));  // released
    EXPECT_EQ(SelectObject(dc, GetStockObject(SYSTEM_FIXED_FONT)), nullptr);
    TEXTMETRICA metrics;
    EXPECT_FALSE(GetTextMetricsA(dc, &metrics));
    dc = GetDC(window);
    EXPECT_FALSE(TextOutA(dc, 0, 0, nullptr, 3));
    EXPECT_FALSE(TextOutA(dc, 0, 0, "x", -1));
    EXPECT_EQ(SelectObject(dc, reinterpret_cast<HGDIOBJ>(std::uintptr_t{0x99})), nullptr);
    EXPECT_TRUE(DeleteObject(GetStockObject(SYSTEM_FIXED_FONT)));  // stock: kept
    EXPECT_NE(SelectObject(dc, GetStockObject(SYSTEM_FIXED_FONT)), nullptr);
    ReleaseDC(window, dc);
    EXPECT_EQ(MulDiv(10, 120, 72), 17);
    EXPECT_EQ(MulDiv(-10, 120, 72), -17);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
}

TEST_F(PaintingMenusTest, CaretFollowsItsOwnerAndHideCount) {
    HWND window = TextWindow();
    EXPECT_FALSE(ShowCaret(window));  // no caret yet
    EXPECT_TRUE(CreateCaret(window, nullptr, 8, 16));
    EXPECT_TRUE(SetCaretPos(24, 32));
    POINT where;
    EXPECT_TRUE(GetCaretPos(&where));
    EXPECT_EQ(where.x, 24);
    EXPECT_TRUE(ShowCaret(window));
    EXPECT_EQ(State().caret.hideCount, 0);
    HideCaret(window);
    HideCaret(window);
    ShowCaret(window);
    EXPECT_EQ(State().caret.hideCount, 1);  // hides nest
    HWND other = CreateRecorder();
    EXPECT_FALSE(HideCaret(other));
    SetCaretBlinkTime(0xFFFFFFFF);
    EXPECT_EQ(GetCaretBlinkTime(), 0xFFFFFFFFu);
    DestroyWindow(window);
    EXPECT_FALSE(GetCaretPos(&where));  // went with its window
}

TEST_F(PaintingMenusTest, MenusFromDataAndTheirItemCalls) {
    MenuTemplate data = {
        {"&File", 0, 0, {{"&New", 100, 0, {}}, {"", 0, MF_SEPARATOR, {}}, {"E&xit", 114, 0, {}}}},
        {"&Edit", 0, 0, {{"&Undo", 120, MF_GRAYED, {}}}},
    };
    HMENU menu = LoadMenuIndirectA(data);
    ASSERT_TRUE(IsMenu(menu));
    EXPECT_EQ(GetMenuItemCount(menu), 2);
    HMENU file = GetSubMenu(menu, 0);
    EXPECT_EQ(GetMenuItemCount(file), 3);
    EXPECT_EQ(GetMenuItemID(file, 2), 114u);
    EXPECT_EQ(EnableMenuItem(menu, 120, MF_ENABLED), static_cast<int>(MF_GRAYED));
    EXPECT_EQ(CheckMenuItem(menu, 114, MF_CHECKED), MF_UNCHECKED);
    EXPECT_EQ(GetMenuState(menu, 114, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
    EXPECT_EQ(EnableMenuItem(menu, 999, MF_GRAYED), -1);
    EXPECT_TRUE(ModifyMenuA(menu, 100, MF_BYCOMMAND | MF_STRING, 100, "&New File"));
    char text[32];
    GetMenuStringA(menu, 100, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&New File");
    EXPECT_TRUE(InsertMenuA(file, 0, MF_BYPOSITION | MF_STRING, 101, "&Open..."));
    EXPECT_EQ(GetMenuItemID(file, 0), 101u);
    EXPECT_TRUE(RemoveMenu(menu, 101, MF_BYCOMMAND));
    EXPECT_FALSE(RemoveMenu(menu, 101, MF_BYCOMMAND));
    EXPECT_FALSE(AppendMenuA(menu, MF_POPUP, 12345, "bad pop-up"));
    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_FALSE(IsMenu(file));  // pop-ups go with their menu
}

TEST_F(PaintingMenusTest, ChoosingMenuItemsInitialisesAndSkipsDisabledOnes) {
    MenuTemplate data = {{"&File", 0, 0, {{"&New", 100, 0, {}}, {"&Close", 102, MF_GRAYED, {}}}}};
    HMENU menu = LoadMenuIndirectA(data);
    HWND window = CreateWindowExA(0, kRecorderClass, "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                  0, 200, 100, nullptr, menu, nullptr, nullptr);
    EXPECT_EQ(GetMenu(window), menu);
    PumpPendingMessages();
    Log().clear();
    EXPECT_TRUE(ChooseMenuCommand(window, 100));
    EXPECT_THAT(LoggedNames(window), ElementsAre("WM_INITMENU", "WM_INITMENUPOPUP", "WM_COMMAND"));
    EXPECT_EQ(Log().back().wParam, MAKEWPARAM(100, 0));
    Log().clear();
    EXPECT_FALSE(ChooseMenuCommand(window, 102));
    EXPECT_THAT(LoggedNames(window), ElementsAre("WM_INITMENU", "WM_INITMENUPOPUP"));
    DestroyWindow(window);
    EXPECT_FALSE(IsMenu(menu));  // a window owns its menu bar
}

TEST_F(PaintingMenusTest, SystemMenuCanBeChangedAndRedrawIsCounted) {
    HWND window = CreateRecorder();
    HMENU system = GetSystemMenu(window, FALSE);
    ASSERT_TRUE(IsMenu(system));
    for (UINT command : {SC_MAXIMIZE, SC_MINIMIZE, SC_CLOSE, SC_RESTORE}) {
        EXPECT_TRUE(RemoveMenu(system, command, MF_BYCOMMAND));
    }
    EXPECT_TRUE(InsertMenuA(system, 0, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr));
    int before = FindWindowObject(window)->menuBarDraws;
    EXPECT_TRUE(DrawMenuBar(window));
    EXPECT_EQ(FindWindowObject(window)->menuBarDraws, before + 1);
    EXPECT_EQ(GetMenuState(system, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_EQ(GetSystemMenu(window, TRUE), nullptr);  // back to the standard one
    EXPECT_NE(GetMenuState(GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND),
              static_cast<UINT>(-1));
}

TEST_F(PaintingMenusTest, AcceleratorsTranslateKeysWithModifiers) {
    ACCEL entries[] = {{FVIRTKEY | FCONTROL, 'S', 160},
                       {FVIRTKEY, VK_F3, 101},
                       {FVIRTKEY | FSHIFT | FLAST_ENTRY, VK_INSERT, 123},
                       {FVIRTKEY, VK_F4, 999}};  // past the last entry: not part of the table
    HACCEL table = CreateAcceleratorTableA(entries, 4);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(CopyAcceleratorTableA(table, nullptr, 0), 3);
    HWND window = CreateRecorder();
    PumpPendingMessages();
    Log().clear();
    auto translate = [&](WORD key, KeyModifiers modifiers) {
        PostKeyEvent(key, true, modifiers);
        MSG msg;
        bool used = false;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (TranslateAcceleratorA(window, table, &msg)) {
                used = true;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return used;
    };
    EXPECT_TRUE(translate('S', KeyModifiers{false, true, false}));
    EXPECT_FALSE(translate('S', KeyModifiers{false, false, false}));
    EXPECT_TRUE(translate(VK_INSERT, KeyModifiers{true, false, false}));
    EXPECT_FALSE(translate(VK_F4, KeyModifiers{}));
    std::vector<WPARAM> commands;
    for (const Received& r : Log()) {
        if (r.message == WM_COMMAND) {
            commands.push_back(r.wParam);
        }
    }
    EXPECT_THAT(commands, ElementsAre(MAKEWPARAM(160, 1), MAKEWPARAM(123, 1)));
    EXPECT_TRUE(DestroyAcceleratorTable(table));
    MSG msg{};
    msg.hwnd = window;
    msg.message = WM_KEYDOWN;
    EXPECT_EQ(TranslateAcceleratorA(window, table, &msg), 0);
    EXPECT_EQ(CreateAcceleratorTableA(entries, 0), nullptr);
}

}  // namespace
}  // namespace farvane::ui::testing
