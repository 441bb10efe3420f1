// Compare (template 17), the modeless difference dialog (18) and the arrangement of the two
// compared document windows.
#include <cstdio>
#include <cstring>

#include "editor/core/file_compare.h"
#include "editor/ui/editor_dialogs.h"
#include "editor/ui/file_tools_windows.h"

namespace fvedit {

namespace {

constexpr const char* kCompareCaption = "Compare";

DialogTemplate CompareTemplate() {
    DialogTemplate t;
    t.caption = kCompareCaption;
    t.cx = 250;
    t.cy = 104;
    t.fontName = "MS Sans Serif";
    t.items.push_back(LText("File &1:", IDC_STATIC, 6, 10, 28, 9));
    t.items.push_back(ComboBox(IDC_COMPARE_FILE1, 36, 8, 150, 60, CBS_DROPDOWN | CBS_AUTOHSCROLL));
    t.items.push_back(LText("File &2:", IDC_STATIC, 6, 28, 28, 9));
    t.items.push_back(ComboBox(IDC_COMPARE_FILE2, 36, 26, 150, 60, CBS_DROPDOWN | CBS_AUTOHSCROLL));
    t.items.push_back(LText("Start at line:", IDC_STATIC, 6, 48, 50, 9));
    t.items.push_back(EditText(IDC_COMPARE_LINE1, 60, 46, 40, 12, ES_AUTOHSCROLL));
    t.items.push_back(EditText(IDC_COMPARE_LINE2, 106, 46, 40, 12, ES_AUTOHSCROLL));
    t.items.push_back(GroupBox("Layout", IDC_STATIC, 6, 64, 140, 34));
    t.items.push_back(AutoRadioButton("H&orizontal", IDC_COMPARE_HORIZONTAL, 12, 76, 60, 10,
                                      WS_GROUP | WS_TABSTOP));
    t.items.push_back(AutoRadioButton("&Vertical", IDC_COMPARE_VERTICAL, 78, 76, 60, 10));
    t.items.push_back(DefPushButton("OK", IDOK, 196, 6, 48, 14));
    t.items.push_back(PushButton("Cancel", IDCANCEL, 196, 24, 48, 14));
    t.items.push_back(PushButton("&Browse...", IDC_COMPARE_BROWSE, 196, 42, 48, 14));
    t.items.push_back(PushButton("&Help", IDC_DIALOG_HELP, 196, 60, 48, 14));
    return t;
}

struct CompareContext {
    CompareDialogData* data;
    int lastFileField;  // the file field that last had the focus
};

std::string FieldText(HWND dialog, int id) {
    char text[FILE_TOOLS_TEXT_SIZE] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// A file field's text as it will be after a notification: a selection in the list is not in
// the edit part yet.
std::string FileFieldText(HWND dialog, int id, WORD notification) {
    if (notification == CBN_SELCHANGE) {
        LRESULT index = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
        if (index >= 0) {
            char text[FILE_TOOLS_TEXT_SIZE] = {};
            SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                reinterpret_cast<LPARAM>(text));
            return text;
        }
    }
    return FieldText(dialog, id);
}

void UpdateOkButton(HWND dialog, int changed = 0, WORD notification = 0) {
    bool first = !(changed == IDC_COMPARE_FILE1 ? FileFieldText(dialog, changed, notification)
                                                : FieldText(dialog, IDC_COMPARE_FILE1))
                      .empty();
    bool second = !(changed == IDC_COMPARE_FILE2 ? FileFieldText(dialog, changed, notification)
                                                 : FieldText(dialog, IDC_COMPARE_FILE2))
                       .empty();
    EnableWindow(GetDlgItem(dialog, IDOK), first && second);
}

void EnableBrowse(HWND dialog, bool enable) {
    EnableWindow(GetDlgItem(dialog, IDC_COMPARE_BROWSE), enable);
}

void Browse(HWND dialog, CompareContext& context) {
    char path[PATH_NAME_SIZE] = {};
    FileDialogRequest request{
        kCompareCaption, "All Files (*.*)|*.*|", nullptr, nullptr, nullptr, true};
    if (Ui().OpenFileDialog(request, path, sizeof path)) {
        SetDlgItemTextA(dialog, context.lastFileField, path);
        UpdateOkButton(dialog);
    }
}

// Checks a start line field; on a bad one says so and selects the field.
bool TakeStartLine(HWND dialog, int id, WORD& line) {
    if (ParseStartLine(FieldText(dialog, id).c_str(), line)) {
        return true;
    }
    MessageBoxA(dialog, "Invalid line number", kCompareCaption, MB_OK | MB_ICONEXCLAMATION);
    SendDlgItemMessageA(dialog, id, EM_SETSEL, 0, -1);
    SetFocus(GetDlgItem(dialog, id));
    return false;
}

bool Accept(HWND dialog, CompareDialogData& data) {
    WORD first = 0;
    WORD second = 0;
    if (!TakeStartLine(dialog, IDC_COMPARE_LINE1, first) ||
        !TakeStartLine(dialog, IDC_COMPARE_LINE2, second)) {
        return false;
    }
    std::snprintf(data.file1, sizeof data.file1, "%s",
                  FieldText(dialog, IDC_COMPARE_FILE1).c_str());
    std::snprintf(data.file2, sizeof data.file2, "%s",
                  FieldText(dialog, IDC_COMPARE_FILE2).c_str());
    data.startLine1 = first;
    data.startLine2 = second;
    data.vertical = IsDlgButtonChecked(dialog, IDC_COMPARE_VERTICAL) == BST_CHECKED;
    return true;
}

void InitCompare(HWND dialog, const CompareDialogData& data) {
    FillHistoryCombo(dialog, IDC_COMPARE_FILE1, data.history1);
    FillHistoryCombo(dialog, IDC_COMPARE_FILE2, data.history2);
    SetDlgItemTextA(dialog, IDC_COMPARE_FILE1, data.file1);
    SetDlgItemTextA(dialog, IDC_COMPARE_FILE2, data.file2);
    SetDlgItemInt(dialog, IDC_COMPARE_LINE1, data.startLine1, FALSE);
    SetDlgItemInt(dialog, IDC_COMPARE_LINE2, data.startLine2, FALSE);
    CheckRadioButton(dialog, IDC_COMPARE_HORIZONTAL, IDC_COMPARE_VERTICAL,
                     data.vertical ? IDC_COMPARE_VERTICAL : IDC_COMPARE_HORIZONTAL);
    UpdateOkButton(dialog);
    SendDlgItemMessageA(dialog, IDC_COMPARE_FILE1, CB_SETEDITSEL, 0, MAKELPARAM(0, 0xFFFF));
    SetFocus(GetDlgItem(dialog, IDC_COMPARE_FILE1));
}

INT_PTR CompareCommand(HWND dialog, CompareContext& context, WORD id, WORD notification) {
    switch (id) {
        case IDC_COMPARE_FILE1:
        case IDC_COMPARE_FILE2:
            if (notification == CBN_SETFOCUS) {
                context.lastFileField = id;
                EnableBrowse(dialog, true);
            } else if (notification == CBN_EDITCHANGE || notification == CBN_SELCHANGE) {
                UpdateOkButton(dialog, id, notification);
            }
            return TRUE;
        case IDC_COMPARE_LINE1:
        case IDC_COMPARE_LINE2:
            if (notification == EN_SETFOCUS) {
                EnableBrowse(dialog, false);
            }
            return TRUE;
        case IDC_COMPARE_HORIZONTAL:
        case IDC_COMPARE_VERTICAL:
            EnableBrowse(dialog, false);
            return FALSE;
        case IDC_COMPARE_BROWSE:
            Browse(dialog, context);
            return TRUE;
        case IDC_DIALOG_HELP:
            EnableBrowse(dialog, false);
            ShowFileToolsHelp(HELP_COMPARE_CONTEXT);
            return TRUE;
        case IDOK:
            if (Accept(dialog, *context.data)) {
                EndDialog(dialog, IDOK);
            }
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}

HWND differenceDialog = nullptr;

DialogTemplate DifferenceTemplate() {
    DialogTemplate t;
    t.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
    t.caption = kCompareCaption;
    t.cx = 180;
    t.cy = 44;
    t.fontName = "MS Sans Serif";
    t.items.push_back(LText("", IDC_DIFFERENCE_TEXT, 8, 8, 164, 10, SS_NOPREFIX));
    t.items.push_back(DefPushButton("&Next Match", IDC_DIFFERENCE_STEP, 30, 24, 64, 14));
    t.items.push_back(PushButton("&Cancel", IDCANCEL, 102, 24, 48, 14));
    return t;
}

// Centred across the frame, its top just inside the frame's top edge, keeping its size.
void PlaceDifferenceDialog() {
    RECT frame;
    RECT box;
    GetWindowRect(ew.frame, &frame);
    GetWindowRect(differenceDialog, &box);
    int width = box.right - box.left;
    int x = frame.left + ((frame.right - frame.left) - width) / 2;
    int y = frame.top + GetSystemMetrics(SM_CYFRAME) - GetSystemMetrics(SM_CYBORDER);
    SetWindowPos(differenceDialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void MoveDocument(EditWindow* window, int x, int y, int width, int height) {
    if (HWND document = DocumentWindowOf(window)) {
        MoveWindow(document, x, y, width, height, TRUE);
    }
}

}  // namespace

INT_PTR CompareDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* context = reinterpret_cast<CompareContext*>(GetWindowLongPtrA(dialog, DWL_USER));
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWL_USER, lParam);
        context = reinterpret_cast<CompareContext*>(lParam);
        InitCompare(dialog, *context->data);
        return FALSE;
    }
    if (message != WM_COMMAND || context == nullptr) {
        return FALSE;
    }
    return CompareCommand(dialog, *context, LOWORD(wParam), HIWORD(wParam));
}

INT_PTR DiffDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    (void)dialog;
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_CLOSE:
            EndCompare();
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_DIFFERENCE_STEP) {
                CompareNextStep();
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndCompare();
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

int RunCompareDialog(CompareDialogData& data) {
    static DialogTemplate compareTemplate = CompareTemplate();
    CompareContext context{&data, IDC_COMPARE_FILE1};
    INT_PTR result = DialogBoxIndirectParamA(ew.instance, &compareTemplate, ew.frame, CompareDlg,
                                             reinterpret_cast<LPARAM>(&context));
    return result == IDOK ? 1 : 0;
}

void ShowDifferenceWindow(const char* message, const char* buttonText) {
    static DialogTemplate difference = DifferenceTemplate();
    if (differenceDialog == nullptr || !IsWindow(differenceDialog)) {
        differenceDialog =
            CreateDialogIndirectParamA(ew.instance, &difference, ew.frame, DiffDlg, 0);
        if (differenceDialog == nullptr) {
            return;
        }
        PlaceDifferenceDialog();
    }
    SetDlgItemTextA(differenceDialog, IDC_DIFFERENCE_TEXT, message);
    SetDlgItemTextA(differenceDialog, IDC_DIFFERENCE_STEP, buttonText);
}

void CloseDifferenceWindow() {
    if (differenceDialog != nullptr) {
        HWND dialog = differenceDialog;
        differenceDialog = nullptr;
        if (IsWindow(dialog)) {
            DestroyWindow(dialog);
        }
    }
}

HWND DifferenceWindow() {
    return differenceDialog != nullptr && IsWindow(differenceDialog) ? differenceDialog : nullptr;
}

void PlaceCompareWindows(EditWindow* first, EditWindow* second, bool vertical) {
    for (EditWindow* window : {first, second}) {
        HWND document = DocumentWindowOf(window);
        if (document != nullptr) {
            SendMessageA(ew.client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(document), 0);
        }
    }
    ew.childrenMaximised = false;
    RECT area;
    GetClientRect(ew.client, &area);
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    SendMessageA(ew.client, WM_SETREDRAW, FALSE, 0);
    if (vertical) {
        MoveDocument(first, 0, 0, width / 2, height);
        MoveDocument(second, width / 2, 0, width - width / 2, height);
    } else {
        MoveDocument(first, 0, 0, width, height / 2);
        MoveDocument(second, 0, height / 2, width, height - height / 2);
    }
    SendMessageA(ew.client, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(ew.client, nullptr, TRUE);
    first->redraw |= RD_ALL | RD_REFRAME;
    second->redraw |= RD_ALL | RD_REFRAME;
}

}  // namespace fvedit
