// Dialogs from templates: creation, every control kind, notifications, the dialog manager's
// keys, modal and modeless dialogs, and bad input.
#include <cstring>

#include "ui_test_support.h"

namespace farvane::ui::testing {
namespace {

using ::testing::ElementsAre;

constexpr UINT kEdit = 100, kList = 101, kCombo = 102, kCheck = 103, kRadio1 = 104, kRadio2 = 105,
               kLabel = 106, kDropList = 107;

DialogTemplate AllControls() {
    DialogTemplate dialog;
    dialog.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME | DS_SETFONT;
    dialog.cx = 200;
    dialog.cy = 120;
    dialog.caption = "Everything";
    dialog.fontName = "Helv";
    dialog.pointSize = 8;
    dialog.items = {
        LText("&Name:", kLabel, 4, 4, 40, 8),
        EditText(kEdit, 50, 4, 100, 12, ES_AUTOHSCROLL),
        ListBox(kList, 4, 20, 80, 40, LBS_SORT | WS_TABSTOP),
        ComboBox(kCombo, 90, 20, 80, 60, CBS_DROPDOWN),
        ComboBox(kDropList, 90, 40, 80, 60, CBS_DROPDOWNLIST),
        AutoCheckBox("&Check", kCheck, 4, 64, 60, 10),
        AutoRadioButton("One", kRadio1, 4, 76, 40, 10, WS_GROUP | WS_TABSTOP),
        AutoRadioButton("Two", kRadio2, 50, 76, 40, 10),
        DefPushButton("OK", IDOK, 150, 100, 40, 14, WS_GROUP),
        PushButton("Cancel", IDCANCEL, 100, 100, 40, 14),
    };
    return dialog;
}

struct DialogRecord {
    std::vector<std::pair<UINT, WORD>> commands;  // control id, notification
    LPARAM initParam = 0;
    HWND initFocus = nullptr;
    bool endOnOk = true;
};
DialogRecord g_record;

INT_PTR RecordingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        g_record.initParam = lParam;
        g_record.initFocus = reinterpret_cast<HWND>(wParam);
        return TRUE;
    }
    if (message == WM_COMMAND) {
        g_record.commands.emplace_back(LOWORD(wParam), HIWORD(wParam));
        if ((LOWORD(wParam) == IDOK && g_record.endOnOk) || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
        }
        return TRUE;
    }
    return FALSE;
}

class DialogsTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        g_record = DialogRecord{};
        owner = CreateRecorder("Owner");
    }
    HWND Modeless() {
        static DialogTemplate dialog = AllControls();
        dialog = AllControls();
        return CreateDialogIndirectParamA(nullptr, &dialog, owner, RecordingProc, 99);
    }
    HWND owner = nullptr;
};

TEST_F(DialogsTest, TemplateBuildsControlsInDialogUnits) {
    HWND dialog = Modeless();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(g_record.initParam, 99);
    EXPECT_EQ(g_record.initFocus, GetDlgItem(dialog, kEdit));  // first tab stop
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, kEdit));
    char caption[32];
    GetWindowTextA(dialog, caption, sizeof caption);
    EXPECT_STREQ(caption, "Everything");
    // An 8-point dialog font measures 6 x 13 in the headless backend: x * 6 / 4, y * 13 / 8.
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 195);
    RECT edit;
    GetWindowRect(GetDlgItem(dialog, kEdit), &edit);
    POINT origin{0, 0};
    ClientToScreen(dialog, &origin);
    EXPECT_EQ(edit.left - origin.x, 75);
    EXPECT_EQ(edit.top - origin.y, 7);
    EXPECT_EQ(edit.right - edit.left, 150);
    EXPECT_EQ(edit.bottom - edit.top, 20);
    RECT units{0, 0, 4, 8};
    MapDialogRect(dialog, &units);
    EXPECT_EQ(units.right, 6);
    EXPECT_EQ(units.bottom, 13);
    EXPECT_EQ(SendMessageA(dialog, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
}

TEST_F(DialogsTest, ItemFunctionsAndTheirFailureValues) {
    HWND dialog = Modeless();
    EXPECT_TRUE(SetDlgItemTextA(dialog, kEdit, "hello"));
    char text[16];
    EXPECT_EQ(GetDlgItemTextA(dialog, kEdit, text, sizeof text), 5u);
    EXPECT_STREQ(text, "hello");
    EXPECT_EQ(GetDlgItemTextA(dialog, kEdit, text, 3), 2u);  // cut to fit, terminated
    EXPECT_STREQ(text, "he");
    EXPECT_TRUE(SetDlgItemInt(dialog, kEdit, static_cast<UINT>(-5), TRUE));
    BOOL ok = FALSE;
    EXPECT_EQ(static_cast<int>(GetDlgItemInt(dialog, kEdit, &ok, TRUE)), -5);
    EXPECT_TRUE(ok);
    SetDlgItemTextA(dialog, kEdit, "12x");
    EXPECT_EQ(GetDlgItemInt(dialog, kEdit, &ok, FALSE), 0u);
    EXPECT_FALSE(ok);
    SetDlgItemTextA(dialog, kEdit, "99999999999");
    GetDlgItemInt(dialog, kEdit, &ok, FALSE);
    EXPECT_FALSE(ok);
    // Unknown control ids fail without touching anything.
    EXPECT_EQ(GetDlgItem(dialog, 4242), nullptr);
    EXPECT_FALSE(SetDlgItemTextA(dialog, 4242, "x"));
    std::strcpy(text, "keep");
    EXPECT_EQ(GetDlgItemTextA(dialog, 4242, text, sizeof text), 0u);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(GetDlgItemInt(dialog, 4242, &ok, TRUE), 0u);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(CheckDlgButton(dialog, 4242, BST_CHECKED));
    EXPECT_FALSE(CheckDlgButton(dialog, kEdit, BST_CHECKED));  // not a button
    EXPECT_EQ(SendDlgItemMessageA(dialog, 4242, LB_GETCOUNT, 0, 0), 0);
    EXPECT_FALSE(EndDialog(owner, 1));  // not a dialog
    DestroyWindow(dialog);
    EXPECT_FALSE(SetDlgItemTextA(dialog, kEdit, "x"));
    EXPECT_FALSE(EndDialog(dialog, 1));
}

TEST_F(DialogsTest, EditLimitRefusesOverlongTextAndCutsTyping) {
    HWND dialog = Modeless();
    HWND edit = GetDlgItem(dialog, kEdit);
    SendMessageA(edit, EM_LIMITTEXT, 5, 0);
    EXPECT_TRUE(SetWindowTextA(edit, "abc"));
    EXPECT_FALSE(SetWindowTextA(edit, "abcdefgh"));  // refused, text kept
    char text[16];
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "abc");
    g_record.commands.clear();
    EXPECT_TRUE(UserEditText(edit, "123456789"));
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "12345");
    EXPECT_THAT(g_record.commands,
                ElementsAre(std::pair{kEdit, EN_UPDATE}, std::pair{kEdit, EN_CHANGE},
                            std::pair{kEdit, EN_MAXTEXT}));
    SendMessageA(edit, EM_SETSEL, 1, 3);
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(end, 3u);
    SendMessageA(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("Z"));
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "1Z45");
}

TEST_F(DialogsTest, ListAndComboMessagesKeepSortedItemsAndData) {
    HWND dialog = Modeless();
    HWND list = GetDlgItem(dialog, kList);
    for (const char* item : {"pear", "Apple", "fig"}) {
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    char text[16];
    SendMessageA(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Apple");
    EXPECT_EQ(
        SendMessageA(list, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("FI")),
        1);
    EXPECT_EQ(SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>("pea")),
              LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_SETITEMDATA, 2, 55), 0);
    EXPECT_EQ(SendMessageA(list, LB_GETITEMDATA, 2, 0), 55);
    EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 7, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 9, reinterpret_cast<LPARAM>(text)), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_GETTEXTLEN, 9, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_DELETESTRING, 9, 0), LB_ERR);
    SendMessageA(list, LB_SETCURSEL, 2, 0);
    SendMessageA(list, LB_DELETESTRING, 0, 0);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);  // follows its item
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);

    HWND combo = GetDlgItem(dialog, kCombo);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("first"));
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("second"));
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    GetWindowTextA(combo, text, sizeof text);
    EXPECT_STREQ(text, "second");
    SendMessageA(combo, CB_LIMITTEXT, 4, 0);
    EXPECT_EQ(SendMessageA(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("too long")),
              CB_ERRSPACE);
    HWND dropList = GetDlgItem(dialog, kDropList);
    SendMessageA(dropList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("only"));
    EXPECT_EQ(SendMessageA(dropList, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("other")), CB_ERR);
    EXPECT_TRUE(SendMessageA(dropList, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("ONLY")));
    EXPECT_EQ(SendMessageA(dropList, CB_GETCURSEL, 0, 0), 0);
}

TEST_F(DialogsTest, UserActionsSendTheNotificationsTheyShould) {
    HWND dialog = Modeless();
    HWND list = GetDlgItem(dialog, kList);
    HWND combo = GetDlgItem(dialog, kCombo);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("a"));
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("b"));
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("x"));
    SendMessageA(list, LB_SETCURSEL, 0, 0);  // programmatic: no notification
    g_record.commands.clear();
    UserSelectItem(list, 1);
    UserDoubleClickItem(list, 0);
    UserSelectItem(combo, 0);
    UserEditText(combo, "typed");
    UserClickButton(GetDlgItem(dialog, kCheck));
    UserClickButton(GetDlgItem(dialog, kRadio2));
    EXPECT_THAT(g_record.commands,
                ElementsAre(std::pair{kList, LBN_SELCHANGE}, std::pair{kList, LBN_SELCHANGE},
                            std::pair{kList, LBN_DBLCLK}, std::pair{kCombo, CBN_SELCHANGE},
                            std::pair{kCombo, CBN_SELENDOK}, std::pair{kCombo, CBN_EDITUPDATE},
                            std::pair{kCombo, CBN_EDITCHANGE}, std::pair{kCheck, BN_CLICKED},
                            std::pair{kRadio2, BN_CLICKED}));
    EXPECT_EQ(IsDlgButtonChecked(dialog, kCheck), BST_CHECKED);
    UserClickButton(GetDlgItem(dialog, kRadio1));
    EXPECT_EQ(IsDlgButtonChecked(dialog, kRadio1), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, kRadio2), BST_UNCHECKED);
    EXPECT_TRUE(CheckRadioButton(dialog, kRadio1, kRadio2, kRadio2));
    EXPECT_EQ(IsDlgButtonChecked(dialog, kRadio1), BST_UNCHECKED);
    // A disabled control takes no user action.
    EnableWindow(GetDlgItem(dialog, kCheck), FALSE);
    EXPECT_FALSE(UserClickButton(GetDlgItem(dialog, kCheck)));
    EXPECT_EQ(IsDlgButtonChecked(dialog, kCheck), BST_CHECKED);
}

TEST_F(DialogsTest, DialogManagerKeysMoveFocusAndPressButtons) {
    HWND dialog = Modeless();
    PumpPendingMessages();
    auto press = [&](WORD key, KeyModifiers modifiers = {}) {
        PostKeyEvent(key, true, modifiers);
        PostKeyEvent(key, false, modifiers);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageA(dialog, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    };
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, kEdit));
    press('H', KeyModifiers{true, false, false});
    char text[8];
    GetDlgItemTextA(dialog, kEdit, text, sizeof text);
    EXPECT_STREQ(text, "H");  // the edit control takes characters
    press(VK_TAB);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, kList));
    press(VK_TAB, KeyModifiers{true, false, false});
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, kEdit));
    g_record.endOnOk = false;
    g_record.commands.clear();
    press(VK_RETURN);
    press(VK_ESCAPE);
    // Cancel ends the dialog, which takes the focus from the edit control last.
    EXPECT_THAT(g_record.commands, ElementsAre(std::pair{static_cast<UINT>(IDOK), BN_CLICKED},
                                               std::pair{static_cast<UINT>(IDCANCEL), BN_CLICKED},
                                               std::pair{kEdit, EN_KILLFOCUS}));
}

TEST_F(DialogsTest, ModalDialogAnsweredByScriptDisablesItsOwner) {
    static DialogTemplate dialog = AllControls();
    bool ownerDisabled = false;
    PushModalDialogHandler([&](HWND box) {
        ownerDisabled = !IsWindowEnabled(owner);
        UserEditText(GetDlgItem(box, kEdit), "typed");
        UserClickButton(GetDlgItem(box, IDOK));
    });
    INT_PTR result = DialogBoxIndirectParamA(nullptr, &dialog, owner, RecordingProc, 5);
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    // Without a handler a headless modal dialog ends as cancelled.
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &dialog, owner, RecordingProc, 5), IDCANCEL);
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, nullptr, owner, RecordingProc, 5), -1);
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(4711), owner, RecordingProc, 0), -1);
}

TEST_F(DialogsTest, ModalDialogFromAResourceOfAModule) {
    static DialogTemplate dialog = AllControls();
    HINSTANCE module = RegisterResourceModule("dialogs-test");
    RegisterDialogResource(module, MAKEINTRESOURCEA(300), &dialog);
    PushModalDialogHandler([](HWND box) { UserClickButton(GetDlgItem(box, IDCANCEL)); });
    EXPECT_EQ(DialogBoxParamA(module, MAKEINTRESOURCEA(300), owner, RecordingProc, 0), IDCANCEL);
    EXPECT_EQ(DialogBoxParamA(module, "#300", nullptr, RecordingProc, 0), IDCANCEL);
}

TEST_F(DialogsTest, DefaultButtonMovesWithSetDefId) {
    HWND dialog = Modeless();
    SendMessageA(dialog, DM_SETDEFID, IDCANCEL, 0);
    EXPECT_EQ(GetWindowLongA(GetDlgItem(dialog, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_EQ(GetWindowLongA(GetDlgItem(dialog, IDCANCEL), GWL_STYLE) & BS_TYPEMASK,
              BS_DEFPUSHBUTTON);
    EXPECT_EQ(LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0)), IDCANCEL);
}

TEST_F(DialogsTest, MessageBoxesAreAnsweredByScriptAndLogged) {
    backend->pushMessageBoxAnswer(IDNO);
    EXPECT_EQ(MessageBoxA(owner, "Save changes?", "Editor", MB_YESNOCANCEL | MB_ICONQUESTION),
              IDNO);
    EXPECT_EQ(MessageBoxA(owner, "Done", "Editor", MB_OK), IDOK);
    EXPECT_EQ(MessageBoxA(owner, "Retry?", "Editor", MB_RETRYCANCEL | MB_DEFBUTTON2), IDCANCEL);
    ASSERT_EQ(backend->messageBoxes().size(), 3u);
    EXPECT_EQ(backend->messageBoxes()[0].text, "Save changes?");
    EXPECT_EQ(backend->messageBoxes()[0].type & MB_ICONMASK, MB_ICONQUESTION);
    HWND gone = CreateRecorder("gone");
    DestroyWindow(gone);
    EXPECT_EQ(MessageBoxA(gone, "x", "y", MB_OK), 0);
}

TEST_F(DialogsTest, UnansweredMessageBoxesTakeTheAnswerThatChangesNothing) {
    // The same policy as the editor's headless interface: Cancel, else No, else the default.
    EXPECT_EQ(MessageBoxA(owner, "Save?", "Editor", MB_YESNOCANCEL), IDCANCEL);
    EXPECT_EQ(MessageBoxA(owner, "Replace?", "Editor", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxA(owner, "Disk?", "Editor", MB_ABORTRETRYIGNORE | MB_DEFBUTTON2), IDRETRY);
    // A scripted answer the box has no button for is not taken; a box with only OK asks
    // nothing and leaves the script's answer to the next question.
    backend->pushMessageBoxAnswer(IDYES);
    EXPECT_EQ(MessageBoxA(owner, "Go on?", "Editor", MB_OKCANCEL), IDCANCEL);
    backend->pushMessageBoxAnswer(IDYES);
    EXPECT_EQ(MessageBoxA(owner, "Note", "Editor", MB_OK), IDOK);
    EXPECT_EQ(MessageBoxA(owner, "Save?", "Editor", MB_YESNOCANCEL), IDYES);
}

}  // namespace
}  // namespace farvane::ui::testing
