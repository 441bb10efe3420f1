// Find (template 21), Replace (22) and the modeless Confirm Replacement (23).
#include <cstdio>
#include <cstring>

#include "editor/core/editor_strings.h"
#include "editor/core/find_replace.h"
#include "editor/core/history_lists.h"
#include "editor/ui/editor_dialogs.h"
#include "editor/view/display_update.h"

namespace fvedit {

namespace {

DialogTemplate SearchTemplate(bool replace) {
    DialogTemplate t;
    t.caption = replace ? "Replace" : "Find";
    t.cx = 250;
    t.cy = replace ? 96 : 76;
    t.fontName = "MS Sans Serif";
    short y = 8;
    t.items.push_back(LText("&Find What:", IDC_STATIC, 6, y + 2, 50, 9));
    t.items.push_back(ComboBox(IDC_PATTERN, 60, y, 130, 60, CBS_DROPDOWN | CBS_AUTOHSCROLL));
    if (replace) {
        y += 18;
        t.items.push_back(LText("Re&place With:", IDC_STATIC, 6, y + 2, 52, 9));
        t.items.push_back(
            ComboBox(IDC_REPLACEMENT, 60, y, 130, 60, CBS_DROPDOWN | CBS_AUTOHSCROLL));
    }
    y += 20;
    t.items.push_back(AutoCheckBox("Match &Case", IDC_MATCH_CASE, 6, y, 80, 10));
    t.items.push_back(
        AutoCheckBox("&Regular Expression", IDC_REGULAR_EXPRESSION, 6, y + 12, 90, 10));
    if (replace) {
        t.items.push_back(AutoCheckBox("C&onfirm Changes", IDC_CONFIRM_CHANGES, 6, y + 24, 90, 10));
    }
    t.items.push_back(DefPushButton(replace ? "OK" : "&Next", IDOK, 198, 6, 46, 14));
    if (!replace) {
        t.items.push_back(PushButton("Pre&vious", IDC_PREVIOUS, 198, 24, 46, 14));
    }
    t.items.push_back(PushButton("Cancel", IDCANCEL, 198, replace ? 24 : 42, 46, 14));
    t.items.push_back(PushButton("&Help", IDC_DIALOG_HELP, 198, replace ? 42 : 60, 46, 14));
    return t;
}

struct SearchDialogContext {
    SearchDialogData* data;
    bool replace;
};

void StoreSearchFields(HWND dialog, SearchDialogData& data, bool replace) {
    GetDlgItemTextA(dialog, IDC_PATTERN, data.pattern, sizeof data.pattern);
    if (replace) {
        GetDlgItemTextA(dialog, IDC_REPLACEMENT, data.replacement, sizeof data.replacement);
        data.confirmChanges = IsDlgButtonChecked(dialog, IDC_CONFIRM_CHANGES) == BST_CHECKED;
    }
    data.matchCase = IsDlgButtonChecked(dialog, IDC_MATCH_CASE) == BST_CHECKED;
    data.regularExpression = IsDlgButtonChecked(dialog, IDC_REGULAR_EXPRESSION) == BST_CHECKED;
}

INT_PTR SearchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* context = reinterpret_cast<SearchDialogContext*>(GetWindowLongPtrA(dialog, DWL_USER));
    if (message == WM_INITDIALOG) {
        context = reinterpret_cast<SearchDialogContext*>(lParam);
        SetWindowLongPtrA(dialog, DWL_USER, lParam);
        SearchDialogData& data = *context->data;
        FillHistoryCombo(dialog, IDC_PATTERN, data.patternHistory);
        SetDlgItemTextA(dialog, IDC_PATTERN, data.pattern);
        if (context->replace) {
            FillHistoryCombo(dialog, IDC_REPLACEMENT, data.replacementHistory);
            SetDlgItemTextA(dialog, IDC_REPLACEMENT, data.replacement);
            CheckDlgButton(dialog, IDC_CONFIRM_CHANGES, data.confirmChanges ? BST_CHECKED : 0);
        }
        CheckDlgButton(dialog, IDC_MATCH_CASE, data.matchCase ? BST_CHECKED : 0);
        CheckDlgButton(dialog, IDC_REGULAR_EXPRESSION, data.regularExpression ? BST_CHECKED : 0);
        SendDlgItemMessageA(dialog, IDC_PATTERN, CB_SETEDITSEL, 0, MAKELPARAM(0, 0xFFFF));
        SetFocus(GetDlgItem(dialog, IDC_PATTERN));
        return FALSE;
    }
    if (message != WM_COMMAND || context == nullptr) {
        return FALSE;
    }
    switch (LOWORD(wParam)) {
        case IDOK:
        case IDC_PREVIOUS:
            StoreSearchFields(dialog, *context->data, context->replace);
            context->data->backward = LOWORD(wParam) == IDC_PREVIOUS;
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_DIALOG_HELP:
            ShowHelpContext(context->replace ? HELP_REPLACE_CONTEXT : HELP_FIND_CONTEXT);
            return TRUE;
        default:
            return FALSE;
    }
}

HWND confirmDialog = nullptr;

DialogTemplate ConfirmTemplate() {
    DialogTemplate t;
    t.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
    t.caption = "Confirm Replacement";
    t.cx = 170;
    t.cy = 56;
    t.fontName = "MS Sans Serif";
    t.items.push_back(LText("", IDC_CONFIRM_QUESTION, 34, 10, 130, 10));
    t.items.push_back(AutoCheckBox("&Confirm", IDC_CONFIRM_CHANGES, 34, 24, 60, 10));
    t.items.push_back(DefPushButton("&Yes", IDYES, 6, 38, 48, 14));
    t.items.push_back(PushButton("&No", IDNO, 60, 38, 48, 14));
    t.items.push_back(PushButton("Cancel", IDCANCEL, 114, 38, 48, 14));
    return t;
}

void SetConfirmTexts(const char* question, BOOL confirmChanges) {
    SetDlgItemTextA(confirmDialog, IDC_CONFIRM_QUESTION, question);
    CheckDlgButton(confirmDialog, IDC_CONFIRM_CHANGES, confirmChanges ? BST_CHECKED : 0);
}

INT_PTR ConfirmDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_CLOSE) {
        confirm_cancel();
        return TRUE;
    }
    if (message != WM_COMMAND) {
        return FALSE;
    }
    (void)dialog;
    switch (LOWORD(wParam)) {
        case IDYES:
            confirm_yes();
            return TRUE;
        case IDNO:
            confirm_no();
            return TRUE;
        case IDC_CONFIRM_CHANGES:
            confirm_toggle();
            return TRUE;
        case IDCANCEL:
            confirm_cancel();
            return TRUE;
        default:
            return FALSE;
    }
}

// Centred horizontally over the frame, just below its top edge.
void PlaceConfirmDialog() {
    RECT frame;
    RECT box;
    GetWindowRect(ew.frame, &frame);
    GetWindowRect(confirmDialog, &box);
    int width = box.right - box.left;
    int x = frame.left + ((frame.right - frame.left) - width) / 2;
    int y = frame.top + GetSystemMetrics(SM_CYFRAME) - GetSystemMetrics(SM_CYBORDER);
    SetWindowPos(confirmDialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

}  // namespace

void FillHistoryCombo(HWND dialog, int control, const HistoryList* list) {
    if (list == nullptr) {
        return;
    }
    for (const std::string& item : HistoryComboItems(*list)) {
        SendDlgItemMessageA(dialog, control, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(item.c_str()));
    }
}

int RunSearchDialog(SearchDialogData& data, bool replace) {
    static DialogTemplate templates[2] = {SearchTemplate(false), SearchTemplate(true)};
    SearchDialogContext context{&data, replace};
    INT_PTR result = DialogBoxIndirectParamA(ew.instance, &templates[replace ? 1 : 0], ew.frame,
                                             SearchDialogProc, reinterpret_cast<LPARAM>(&context));
    return result == IDOK ? 1 : 0;
}

void ShowConfirmReplacement(const char* question, BOOL confirmChanges) {
    static DialogTemplate confirm = ConfirmTemplate();
    if (confirmDialog == nullptr || !IsWindow(confirmDialog)) {
        confirmDialog =
            CreateDialogIndirectParamA(ew.instance, &confirm, ew.frame, ConfirmDialogProc, 0);
        if (confirmDialog == nullptr) {
            return;
        }
        PlaceConfirmDialog();
    }
    SetConfirmTexts(question, confirmChanges);
}

void CloseConfirmReplacement() {
    if (confirmDialog != nullptr) {
        HWND dialog = confirmDialog;
        confirmDialog = nullptr;
        DestroyWindow(dialog);
    }
}

HWND ConfirmReplacementDialog() {
    return confirmDialog != nullptr && IsWindow(confirmDialog) ? confirmDialog : nullptr;
}

}  // namespace fvedit
