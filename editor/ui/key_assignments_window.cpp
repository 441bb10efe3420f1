// Key Assignments (template 29) on the core's dialog logic.
#include <string>

#include "editor/core/key_assign_dialog.h"
#include "editor/ui/editor_dialogs.h"

namespace fvedit {

namespace {

enum : int {
    IDC_KEY_FUNCTION = 700,
    IDC_KEY_CURRENT_KEYS = 701,
    IDC_KEY_KEY = 702,
    IDC_KEY_CURRENT_FUNCTION = 703,
    IDC_KEY_MENU_ACCELERATORS = 704,
    IDC_KEY_FILE = 705,
    IDC_KEY_ASSIGN = 706,
    IDC_KEY_UNASSIGN = 707,
    IDC_KEY_LOAD = 708,
    IDC_KEY_SAVE = 709,
    IDC_KEY_BROWSE = 710,
};

DialogTemplate KeyTemplate() {
    DialogTemplate t;
    t.caption = "Key Assignments";
    t.cx = 300;
    t.cy = 170;
    t.fontName = "MS Sans Serif";
    t.items = {
        LText("&Function:", IDC_STATIC, 6, 6, 60, 9),
        ComboBox(IDC_KEY_FUNCTION, 6, 16, 110, 80, CBS_DROPDOWN | CBS_SORT | CBS_AUTOHSCROLL),
        LText("Current &Keys:", IDC_STATIC, 6, 34, 60, 9),
        ListBox(IDC_KEY_CURRENT_KEYS, 6, 44, 110, 50, WS_VSCROLL | WS_TABSTOP),
        LText("K&ey:", IDC_STATIC, 126, 6, 60, 9),
        ComboBox(IDC_KEY_KEY, 126, 16, 110, 80, CBS_DROPDOWN | CBS_AUTOHSCROLL),
        LText("Current Function:", IDC_STATIC, 126, 34, 70, 9),
        LText("", IDC_KEY_CURRENT_FUNCTION, 126, 44, 110, 9),
        AutoCheckBox("&Enable Menu Accelerators", IDC_KEY_MENU_ACCELERATORS, 6, 100, 150, 10),
        LText("Keyboard &Configuration File:", IDC_STATIC, 6, 116, 120, 9),
        EditText(IDC_KEY_FILE, 6, 126, 230, 12, ES_AUTOHSCROLL),
        DefPushButton("OK", IDOK, 246, 6, 48, 14),
        PushButton("Cancel", IDCANCEL, 246, 22, 48, 14),
        PushButton("&Assign", IDC_KEY_ASSIGN, 246, 44, 48, 14),
        PushButton("&Unassign", IDC_KEY_UNASSIGN, 246, 60, 48, 14),
        PushButton("&Load", IDC_KEY_LOAD, 246, 82, 48, 14),
        PushButton("&Save", IDC_KEY_SAVE, 246, 98, 48, 14),
        PushButton("&Browse...", IDC_KEY_BROWSE, 246, 124, 48, 14),
        PushButton("&Help", IDC_DIALOG_HELP, 246, 146, 48, 14)};
    return t;
}

std::string TextOf(HWND dialog, int id) {
    char text[256];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void ShowState(HWND dialog, KeyAssignmentsDialog& keys) {
    SendDlgItemMessageA(dialog, IDC_KEY_CURRENT_KEYS, LB_RESETCONTENT, 0, 0);
    for (const std::string& key : keys.currentKeys) {
        SendDlgItemMessageA(dialog, IDC_KEY_CURRENT_KEYS, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(key.c_str()));
    }
    SetDlgItemTextA(dialog, IDC_KEY_CURRENT_FUNCTION, keys.currentFunction.c_str());
    EnableWindow(GetDlgItem(dialog, IDC_KEY_ASSIGN), keys.AssignEnabled());
    EnableWindow(GetDlgItem(dialog, IDC_KEY_UNASSIGN), keys.UnassignEnabled());
    EnableWindow(GetDlgItem(dialog, IDC_KEY_LOAD), keys.LoadSaveEnabled());
    EnableWindow(GetDlgItem(dialog, IDC_KEY_SAVE), keys.LoadSaveEnabled());
    EnableWindow(GetDlgItem(dialog, IDC_KEY_BROWSE), keys.BrowseEnabled());
}

// The texts of the boxes into the dialog logic.
void TakeTexts(HWND dialog, KeyAssignmentsDialog& keys) {
    keys.functionText = TextOf(dialog, IDC_KEY_FUNCTION);
    keys.keyText = TextOf(dialog, IDC_KEY_KEY);
    keys.fileName = TextOf(dialog, IDC_KEY_FILE);
    keys.menuAccelerators = IsDlgButtonChecked(dialog, IDC_KEY_MENU_ACCELERATORS) == BST_CHECKED;
}

void FocusOn(HWND dialog, KeyDialogFocus focus) {
    int id = focus == KeyDialogFocus::KeyBox        ? IDC_KEY_KEY
             : focus == KeyDialogFocus::FunctionBox ? IDC_KEY_FUNCTION
             : focus == KeyDialogFocus::FileName    ? IDC_KEY_FILE
             : focus == KeyDialogFocus::LoadButton  ? IDC_KEY_LOAD
                                                    : 0;
    if (id != 0) {
        SetFocus(GetDlgItem(dialog, id));
        if (id != IDC_KEY_LOAD) {
            SendDlgItemMessageA(dialog, id, id == IDC_KEY_FILE ? EM_SETSEL : CB_SETEDITSEL, 0,
                                id == IDC_KEY_FILE ? -1 : MAKELPARAM(0, 0xFFFF));
        }
    }
}

void InitKeyDialog(HWND dialog, KeyAssignmentsDialog& keys) {
    for (const std::string& name : keys.FunctionItems()) {
        SendDlgItemMessageA(dialog, IDC_KEY_FUNCTION, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(name.c_str()));
    }
    for (const std::string& name : keys.KeyItems()) {
        SendDlgItemMessageA(dialog, IDC_KEY_KEY, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(name.c_str()));
    }
    SetDlgItemTextA(dialog, IDC_KEY_FILE, keys.fileName.c_str());
    CheckDlgButton(dialog, IDC_KEY_MENU_ACCELERATORS, keys.menuAccelerators ? BST_CHECKED : 0);
    ShowState(dialog, keys);
}

std::string SelectedText(HWND dialog, int id, bool list) {
    LRESULT index = SendDlgItemMessageA(dialog, id, list ? LB_GETCURSEL : CB_GETCURSEL, 0, 0);
    if (index < 0) {
        return TextOf(dialog, id);
    }
    char text[256] = {};
    SendDlgItemMessageA(dialog, id, list ? LB_GETTEXT : CB_GETLBTEXT, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(text));
    return text;
}

bool OnKeyCommand(HWND dialog, KeyAssignmentsDialog& keys, int id, int code) {
    TakeTexts(dialog, keys);
    switch (id) {
        case IDC_KEY_FUNCTION:
            if (code == CBN_SELCHANGE) {
                keys.SelectFunction(SelectedText(dialog, id, false));
            }
            break;
        case IDC_KEY_KEY:
            if (code == CBN_SELCHANGE) {
                keys.SelectKey(SelectedText(dialog, id, false));
            } else if (code == CBN_DBLCLK) {
                FocusOn(dialog, keys.Assign());
            }
            break;
        case IDC_KEY_CURRENT_KEYS:
            if (code == LBN_SELCHANGE) {
                LRESULT index = SendDlgItemMessageA(dialog, id, LB_GETCURSEL, 0, 0);
                if (index >= 0) {
                    keys.SelectCurrentKey(static_cast<std::size_t>(index));
                    SetDlgItemTextA(dialog, IDC_KEY_KEY, keys.keyText.c_str());
                }
            }
            break;
        case IDC_KEY_FILE:
            keys.fileNameHasFocus = code == EN_SETFOCUS    ? true
                                    : code == EN_KILLFOCUS ? false
                                                           : keys.fileNameHasFocus;
            break;
        case IDC_KEY_ASSIGN:
            FocusOn(dialog, keys.Assign());
            break;
        case IDC_KEY_UNASSIGN:
            keys.Unassign();
            break;
        case IDC_KEY_LOAD:
            FocusOn(dialog, keys.Load());
            CheckDlgButton(dialog, IDC_KEY_MENU_ACCELERATORS,
                           keys.menuAccelerators ? BST_CHECKED : 0);
            break;
        case IDC_KEY_SAVE:
            FocusOn(dialog, keys.Save());
            break;
        case IDC_KEY_BROWSE:
            keys.Browse();
            SetDlgItemTextA(dialog, IDC_KEY_FILE, keys.fileName.c_str());
            if (keys.okIsDefault) {
                SendMessageA(dialog, DM_SETDEFID, IDOK, 0);
            }
            break;
        case IDOK:
            if (keys.Ok()) {
                EndDialog(dialog, IDOK);
                return true;
            }
            FocusOn(dialog, KeyDialogFocus::FileName);
            break;
        case IDCANCEL:
            keys.Cancel();
            EndDialog(dialog, IDCANCEL);
            return true;
        case IDC_DIALOG_HELP:
            ShowHelpContext(HELP_KEY_ASSIGNMENTS);
            return true;
        default:
            return false;
    }
    ShowState(dialog, keys);
    return true;
}

INT_PTR KeyProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* keys = reinterpret_cast<KeyAssignmentsDialog*>(GetWindowLongPtrA(dialog, DWL_USER));
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWL_USER, lParam);
        InitKeyDialog(dialog, *reinterpret_cast<KeyAssignmentsDialog*>(lParam));
        return TRUE;
    }
    if (message == WM_COMMAND && keys != nullptr) {
        return OnKeyCommand(dialog, *keys, LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    }
    return FALSE;
}

}  // namespace

void RunKeyAssignments() {
    static DialogTemplate keyTemplate = KeyTemplate();
    KeyAssignmentsDialog keys;
    if (!keys.Open()) {
        return;
    }
    DialogBoxIndirectParamA(ew.instance, &keyTemplate, ew.frame, KeyProc,
                            reinterpret_cast<LPARAM>(&keys));
}

}  // namespace fvedit
