// The built-in controls in depth: typing into edit controls, the clipboard commands, combo and
// list behaviour, owner-drawn lists, dialog mnemonics and arrow keys, and scroll bars.
#include <cstring>

#include "platform/ui/ui_state.h"
#include "ui_test_support.h"

namespace farvane::ui::testing {
namespace {

using ::testing::ElementsAre;

std::vector<std::pair<UINT, WORD>> g_notes;
std::vector<DRAWITEMSTRUCT> g_draws;

INT_PTR NotingProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_COMMAND) {
        g_notes.emplace_back(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    if (message == WM_MEASUREITEM) {
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = 16;
        return TRUE;
    }
    if (message == WM_DRAWITEM) {
        auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        g_draws.push_back(*draw);
        char text[64] = "";
        SendMessageA(draw->hwndItem, LB_GETTEXT, draw->itemID, reinterpret_cast<LPARAM>(text));
        // Only the name, up to the first line break, as a reference list shows it.
        int length = static_cast<int>(std::strcspn(text, "\r"));
        SelectObject(draw->hDC, GetStockObject(SYSTEM_FIXED_FONT));
        TextOutA(draw->hDC, draw->rcItem.left, draw->rcItem.top, text, length);
        return TRUE;
    }
    return FALSE;
}

class ControlsTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        g_notes.clear();
        g_draws.clear();
        dialog = CreateDialogIndirectParamA(nullptr, &Template(), nullptr, NotingProc, 0);
        ASSERT_NE(dialog, nullptr);
        g_notes.clear();  // the focus notification of the opening
    }
    static const DialogTemplate& Template() {
        static DialogTemplate dialog = [] {
            DialogTemplate d;
            d.cx = 240;
            d.cy = 160;
            d.caption = "Controls";
            d.items = {
                LText("&Pattern:", IDC_STATIC, 4, 4, 40, 8),
                EditText(10, 50, 4, 100, 12),
                EditText(11, 50, 20, 100, 12, ES_READONLY),
                EditText(12, 50, 36, 100, 12, ES_NUMBER | ES_UPPERCASE),
                EditText(13, 50, 52, 100, 40, ES_MULTILINE | ES_WANTRETURN),
                ComboBox(20, 160, 4, 70, 60, CBS_DROPDOWNLIST | CBS_SORT),
                ListBox(30, 160, 70, 70, 64, LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_SORT),
                AutoRadioButton("&Horizontal", 40, 4, 100, 60, 10, WS_GROUP | WS_TABSTOP),
                AutoRadioButton("&Vertical", 41, 4, 112, 60, 10),
                AutoCheckBox("&Regular expression", 42, 4, 126, 100, 10, WS_GROUP | WS_TABSTOP),
                DefPushButton("OK", IDOK, 190, 140, 40, 14),
                PushButton("&Browse...", 43, 140, 140, 40, 14),
            };
            return d;
        }();
        return dialog;
    }
    std::string Text(int id) {
        char text[128];
        GetDlgItemTextA(dialog, id, text, sizeof text);
        return text;
    }
    void Type(const char* keys) {
        for (const char* p = keys; *p; ++p) {
            SendMessageA(GetFocus(), WM_CHAR, static_cast<unsigned char>(*p), 0);
        }
    }
    HWND dialog = nullptr;
};

TEST_F(ControlsTest, TypingEditsAtTheSelectionAndHonoursStyles) {
    SetFocus(GetDlgItem(dialog, 10));
    Type("abc\bd");
    EXPECT_EQ(Text(10), "abd");
    SendDlgItemMessageA(dialog, 10, EM_SETSEL, 0, 1);
    Type("X");
    EXPECT_EQ(Text(10), "Xbd");
    EXPECT_TRUE(SendDlgItemMessageA(dialog, 10, EM_GETMODIFY, 0, 0));
    int beeps = backend->beeps();
    SetFocus(GetDlgItem(dialog, 11));
    Type("no");
    EXPECT_EQ(Text(11), "");
    SetFocus(GetDlgItem(dialog, 12));
    Type("1a2");
    EXPECT_EQ(Text(12), "12");  // digits only
    EXPECT_EQ(backend->beeps(), beeps + 3);
    SetDlgItemTextA(dialog, 12, "abc");
    EXPECT_EQ(Text(12), "ABC");  // upper-case style converts
    SetFocus(GetDlgItem(dialog, 13));
    Type("one\rtwo");
    EXPECT_EQ(Text(13), "one\r\ntwo");
    EXPECT_EQ(SendDlgItemMessageA(dialog, 13, EM_GETLINECOUNT, 0, 0), 2);
}

TEST_F(ControlsTest, CutCopyAndPasteGoThroughTheClipboard) {
    HWND edit = GetDlgItem(dialog, 10);
    SetWindowTextA(edit, "hello world");
    SendMessageA(edit, EM_SETSEL, 0, 5);
    SendMessageA(edit, WM_CUT, 0, 0);
    EXPECT_EQ(Text(10), " world");
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(-1), 0);
    SendMessageA(edit, EM_SETSEL, 6, 6);
    SendMessageA(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(10), " worldhello");
    // A single-line edit takes only the first line of pasted text.
    SetClipboardTextForControls("line one\r\nline two");
    SetWindowTextA(edit, "");
    SendMessageA(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(10), "line one");
    // A read-only edit copies but does not cut.
    HWND readOnly = GetDlgItem(dialog, 11);
    SetWindowTextA(readOnly, "fixed");
    SendMessageA(readOnly, EM_SETSEL, 0, -1);
    SendMessageA(readOnly, WM_CUT, 0, 0);
    EXPECT_EQ(Text(11), "fixed");
    std::string pasted;
    ASSERT_TRUE(ClipboardTextForControls(&pasted));
    EXPECT_EQ(pasted, "fixed");
}

TEST_F(ControlsTest, DropDownListSortsAndSelectsByPrefix) {
    HWND combo = GetDlgItem(dialog, 20);
    for (const char* item : {"Vertical", "horizontal", "Auto"}) {
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    char text[32];
    SendMessageA(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "horizontal");
    EXPECT_EQ(SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>("v")),
              2);
    EXPECT_EQ(Text(20), "Vertical");
    EXPECT_EQ(SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>("zzz")),
              CB_ERR);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2);  // unchanged by a miss
    EXPECT_FALSE(UserEditText(combo, "typed"));             // a drop-down list has no edit part
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    EXPECT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_THAT(g_notes, ElementsAre(std::pair{20u, CBN_DROPDOWN}, std::pair{20u, CBN_CLOSEUP}));
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(Text(20), "");
}

TEST_F(ControlsTest, OwnerDrawnListAsksItsParentToDrawEachItem) {
    HWND list = GetDlgItem(dialog, 30);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Wait Time\r\nWaits a while."));
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Beep\r\nMakes a sound."));
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    UpdateWindow(list);
    ASSERT_EQ(g_draws.size(), 2u);
    EXPECT_EQ(g_draws[0].CtlType, ODT_LISTBOX);
    EXPECT_EQ(g_draws[0].CtlID, 30u);
    EXPECT_EQ(g_draws[0].itemState & ODS_SELECTED, 0u);
    EXPECT_EQ(g_draws[1].itemState & ODS_SELECTED, ODS_SELECTED);
    EXPECT_EQ(g_draws[1].rcItem.top, 16);
    GridSurface* grid = HeadlessBackend::GridOf(list);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->row(0).substr(0, 6), "Beep  ");
    EXPECT_EQ(grid->row(1).substr(0, 10), "Wait Time ");
}

TEST_F(ControlsTest, MnemonicsAndArrowKeysWorkLikeTheDialogManager) {
    auto key = [&](UINT message, WPARAM value) {
        MSG msg{};
        msg.hwnd = GetFocus();
        msg.message = message;
        msg.wParam = value;
        return IsDialogMessageA(dialog, &msg);
    };
    SetFocus(GetDlgItem(dialog, 42));
    // Alt+P: the label gives the focus to the edit control after it.
    EXPECT_TRUE(key(WM_SYSCHAR, 'p'));
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 10));
    // Alt+V clicks the radio button.
    EXPECT_TRUE(key(WM_SYSCHAR, 'V'));
    EXPECT_EQ(IsDlgButtonChecked(dialog, 41), BST_CHECKED);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 41));
    // Arrow keys move within the radio group and check the button they reach.
    EXPECT_TRUE(key(WM_KEYDOWN, VK_UP));
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 40));
    EXPECT_EQ(IsDlgButtonChecked(dialog, 40), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 41), BST_UNCHECKED);
    // A letter without Alt on a button is a mnemonic too.
    g_notes.clear();
    EXPECT_TRUE(key(WM_CHAR, 'b'));
    EXPECT_THAT(g_notes, ElementsAre(std::pair{43u, BN_CLICKED}));
    // Enter on a push button presses that button, not the default one.
    g_notes.clear();
    EXPECT_TRUE(key(WM_KEYDOWN, VK_RETURN));
    EXPECT_THAT(g_notes, ElementsAre(std::pair{43u, BN_CLICKED}));
    // A disabled default button is not pressed; the user hears a beep.
    SetFocus(GetDlgItem(dialog, 10));
    EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    g_notes.clear();
    int beeps = backend->beeps();
    key(WM_KEYDOWN, VK_RETURN);
    EXPECT_TRUE(g_notes.empty());
    EXPECT_EQ(backend->beeps(), beeps + 1);
    // Messages for windows outside the dialog are not its business.
    HWND other = CreateRecorder("other");
    MSG msg{};
    msg.hwnd = other;
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_TAB;
    EXPECT_FALSE(IsDialogMessageA(dialog, &msg));
}

TEST_F(ControlsTest, ScrollBarsKeepRangeAndPositionWithinLimits) {
    HWND window =
        CreateRecorder("scroll", WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE);
    EXPECT_TRUE(SetScrollRange(window, SB_VERT, 0, 32767, FALSE));
    EXPECT_FALSE(SetScrollRange(window, SB_VERT, 0, 40000, FALSE));  // beyond the platform's limit
    EXPECT_EQ(SetScrollPos(window, SB_VERT, 500, TRUE), 0);
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 500);
    SetScrollPos(window, SB_VERT, 99999, TRUE);
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 32767);
    SetScrollRange(window, SB_VERT, 0, 100, TRUE);
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 100);
    SCROLLINFO info;
    info.fMask = SIF_ALL;
    info.nMin = 0;
    info.nMax = 512;
    info.nPos = 16;
    info.nPage = 80;
    SetScrollInfo(window, SB_HORZ, &info, TRUE);
    SCROLLINFO out;
    out.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(window, SB_HORZ, &out));
    EXPECT_EQ(out.nMax, 512);
    EXPECT_EQ(out.nPos, 16);
    EXPECT_EQ(out.nPage, 80u);
    EXPECT_EQ(GetScrollPos(window, 7), 0);  // no such bar
    Log().clear();
    UserScroll(window, SB_VERT, SB_THUMBTRACK, 42);
    ASSERT_FALSE(Log().empty());
    EXPECT_EQ(Log().back().message, static_cast<UINT>(WM_VSCROLL));
    EXPECT_EQ(LOWORD(Log().back().wParam), SB_THUMBTRACK);
    EXPECT_EQ(HIWORD(Log().back().wParam), 42);
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(window, SB_VERT, &info);
    EXPECT_EQ(info.nTrackPos, 42);
}

TEST_F(ControlsTest, WindowTreeAndPlacementCalls) {
    HWND frame = CreateRecorder("frame");
    HWND a = CreateRecorder("a", WS_CHILD | WS_VISIBLE, frame, 1);
    HWND b = CreateRecorder("b", WS_CHILD | WS_VISIBLE, frame, 2);
    EXPECT_EQ(GetWindow(frame, GW_CHILD), b);  // the newest child is on top
    EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), a);
    BringWindowToTop(a);
    EXPECT_EQ(GetWindow(frame, GW_CHILD), a);
    EXPECT_EQ(SetParent(a, a), nullptr);  // not into itself
    EXPECT_EQ(SetParent(a, b), frame);
    EXPECT_TRUE(IsChild(b, a));
    EXPECT_TRUE(IsChild(frame, a));
    POINT p{0, 0};
    ClientToScreen(a, &p);
    EXPECT_EQ(p.x, 10 + 10 + 10);  // three origins at x = 10
    ScreenToClient(frame, &p);
    EXPECT_EQ(p.x, 20);
    WINDOWPLACEMENT placement;
    ShowWindow(frame, SW_MAXIMIZE);
    ASSERT_TRUE(GetWindowPlacement(frame, &placement));
    EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
    EXPECT_EQ(placement.rcNormalPosition.left, 10);
    EXPECT_EQ(placement.rcNormalPosition.right, 330);
    placement.rcNormalPosition = RECT{50, 60, 250, 160};
    placement.showCmd = SW_SHOWNORMAL;
    SetWindowPlacement(frame, &placement);
    RECT rect;
    GetWindowRect(frame, &rect);
    EXPECT_EQ(rect.left, 50);
    EXPECT_EQ(rect.bottom, 160);
    EXPECT_TRUE(SetPropA(frame, "Record", reinterpret_cast<HANDLE>(std::uintptr_t{7})));
    EXPECT_EQ(GetPropA(frame, "Record"), reinterpret_cast<HANDLE>(std::uintptr_t{7}));
    EXPECT_EQ(RemovePropA(frame, "Record"), reinterpret_cast<HANDLE>(std::uintptr_t{7}));
    EXPECT_EQ(GetPropA(frame, "Record"), nullptr);
}

}  // namespace
}  // namespace farvane::ui::testing
