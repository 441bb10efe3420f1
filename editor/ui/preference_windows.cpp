// Document Preferences (template 27) and Editor Preferences (28) on the core's dialog logic.
#include <cstring>

#include "editor/core/preferences_dialogs.h"
#include "editor/ui/editor_dialogs.h"
#include "editor/ui/editor_fonts.h"

namespace fvedit {

namespace {

void SetCheck(HWND dialog, int id, BOOL on) {
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}
BOOL Checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0;
}
void Text(HWND dialog, int id, char* out) {
    GetDlgItemTextA(dialog, id, out, static_cast<int>(FORM_NUMBER_SIZE));
}
void SelectField(HWND dialog, int id) {
    SendDlgItemMessageA(dialog, id, EM_SETSEL, 0, -1);
    SetFocus(GetDlgItem(dialog, id));
}

DialogTemplate DocumentTemplate() {
    DialogTemplate t;
    t.caption = "Document Preferences";
    t.cx = 200;
    t.cy = 100;
    t.fontName = "MS Sans Serif";
    t.items = {LText("&Tab Spacing:", IDC_STATIC, 6, 8, 60, 9),
               EditText(IDC_TAB_SPACING, 70, 6, 30, 12),
               LText("&Right Margin:", IDC_STATIC, 6, 24, 60, 9),
               EditText(IDC_RIGHT_MARGIN, 70, 22, 30, 12),
               AutoCheckBox("&Word Wrap", IDC_WORD_WRAP, 6, 40, 90, 10),
               AutoCheckBox("&Auto Indent", IDC_AUTO_INDENT, 6, 52, 90, 10),
               AutoCheckBox("&Expand Tabs", IDC_EXPAND_TABS, 6, 64, 90, 10),
               AutoCheckBox("&Save as Default", IDC_SAVE_AS_DEFAULT, 6, 80, 90, 10),
               DefPushButton("OK", IDOK, 148, 6, 46, 14),
               PushButton("Cancel", IDCANCEL, 148, 24, 46, 14),
               PushButton("&Help", IDC_PREFERENCES_HELP, 148, 42, 46, 14)};
    return t;
}

INT_PTR DocumentProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        DocumentPreferencesForm form = OpenDocumentPreferences(pbufCurrent);
        SetDlgItemTextA(dialog, IDC_TAB_SPACING, form.tabSpacing);
        SetDlgItemTextA(dialog, IDC_RIGHT_MARGIN, form.rightMargin);
        SetCheck(dialog, IDC_WORD_WRAP, form.wordWrap);
        SetCheck(dialog, IDC_AUTO_INDENT, form.autoIndent);
        SetCheck(dialog, IDC_EXPAND_TABS, form.expandTabs);
        SetCheck(dialog, IDC_SAVE_AS_DEFAULT, form.saveAsDefault);
        return TRUE;
    }
    if (message != WM_COMMAND) {
        return FALSE;
    }
    switch (LOWORD(wParam)) {
        case IDOK: {
            DocumentPreferencesForm form{};
            Text(dialog, IDC_TAB_SPACING, form.tabSpacing);
            Text(dialog, IDC_RIGHT_MARGIN, form.rightMargin);
            form.wordWrap = Checked(dialog, IDC_WORD_WRAP);
            form.autoIndent = Checked(dialog, IDC_AUTO_INDENT);
            form.expandTabs = Checked(dialog, IDC_EXPAND_TABS);
            form.saveAsDefault = Checked(dialog, IDC_SAVE_AS_DEFAULT);
            PreferencesResult result = DocumentPreferencesOk(form, pbufCurrent);
            if (result.closed) {
                EndDialog(dialog, IDOK);
            } else {
                SelectField(dialog, result.focusControl);
            }
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_PREFERENCES_HELP:
            ShowHelpContext(HELP_DOCUMENT_PREFERENCES);
            return TRUE;
        default:
            return FALSE;
    }
}

DialogTemplate EditorTemplate() {
    DialogTemplate t;
    t.caption = "Editor Preferences";
    t.cx = 280;
    t.cy = 176;
    t.fontName = "MS Sans Serif";
    t.items = {GroupBox("Screen Font", IDC_STATIC, 6, 4, 90, 50),
               AutoRadioButton("&System Fixed", IDC_FONT_SYSTEM, 12, 14, 80, 10, WS_GROUP),
               AutoRadioButton("&ANSI Fixed", IDC_FONT_ANSI, 12, 26, 80, 10),
               AutoRadioButton("&OEM Fixed", IDC_FONT_OEM, 12, 38, 80, 10),
               GroupBox("Cursor", IDC_STATIC, 102, 4, 110, 62),
               AutoRadioButton("&Block", IDC_CURSOR_BLOCK, 108, 14, 80, 10, WS_GROUP),
               AutoRadioButton("&Underline", IDC_CURSOR_UNDERLINE, 108, 26, 80, 10),
               AutoRadioButton("&Vertical Bar", IDC_CURSOR_BAR, 108, 38, 80, 10),
               AutoCheckBox("B&linking", IDC_BLINKING, 108, 50, 80, 10, WS_GROUP),
               LText("Autosave &Minutes:", IDC_STATIC, 6, 72, 70, 9),
               EditText(IDC_AUTOSAVE_MINUTES, 80, 70, 30, 12),
               LText("Autosave C&hanges:", IDC_STATIC, 6, 88, 70, 9),
               EditText(IDC_AUTOSAVE_CHANGES, 80, 86, 30, 12),
               LText("U&ndo Levels:", IDC_STATIC, 6, 104, 70, 9),
               EditText(IDC_UNDO_LEVELS, 80, 102, 30, 12),
               AutoCheckBox("&Restore Session", IDC_RESTORE_SESSION, 120, 72, 150, 10),
               AutoCheckBox("&Typing Replaces Selection", IDC_TYPING_REPLACES, 120, 84, 150, 10),
               AutoCheckBox("Make Bac&kups", IDC_MAKE_BACKUPS, 120, 96, 150, 10),
               AutoCheckBox("&File Locking", IDC_FILE_LOCKING, 120, 108, 150, 10),
               AutoCheckBox("&Cut/Copy Current Line if No Text is Selected", IDC_CUT_COPY_LINE, 6,
                            124, 260, 10),
               AutoCheckBox("Remove Trailing S&paces", IDC_TRAILING_SPACES, 6, 136, 150, 10),
               DefPushButton("OK", IDOK, 226, 6, 46, 14),
               PushButton("Cancel", IDCANCEL, 226, 24, 46, 14),
               PushButton("&Help", IDC_PREFERENCES_HELP, 226, 42, 46, 14)};
    return t;
}

void ShowEditorForm(HWND dialog, const EditorPreferencesForm& form) {
    CheckRadioButton(dialog, IDC_FONT_SYSTEM, IDC_FONT_OEM, IDC_FONT_SYSTEM + form.screenFont);
    CheckRadioButton(dialog, IDC_CURSOR_BLOCK, IDC_CURSOR_BAR, IDC_CURSOR_BLOCK + form.cursorShape);
    SetCheck(dialog, IDC_BLINKING, form.blinking);
    SetDlgItemTextA(dialog, IDC_AUTOSAVE_MINUTES, form.autosaveMinutes);
    SetDlgItemTextA(dialog, IDC_AUTOSAVE_CHANGES, form.autosaveChanges);
    SetDlgItemTextA(dialog, IDC_UNDO_LEVELS, form.undoLevels);
    SetCheck(dialog, IDC_RESTORE_SESSION, form.restoreSession);
    SetCheck(dialog, IDC_TYPING_REPLACES, form.typingReplacesSelection);
    SetCheck(dialog, IDC_MAKE_BACKUPS, form.makeBackups);
    SetCheck(dialog, IDC_FILE_LOCKING, form.fileLocking);
    SetCheck(dialog, IDC_CUT_COPY_LINE, form.cutCopyCurrentLine);
    SetCheck(dialog, IDC_TRAILING_SPACES, form.removeTrailingSpaces);
}

void ReadEditorForm(HWND dialog, EditorPreferencesForm& form) {
    Text(dialog, IDC_AUTOSAVE_MINUTES, form.autosaveMinutes);
    Text(dialog, IDC_AUTOSAVE_CHANGES, form.autosaveChanges);
    Text(dialog, IDC_UNDO_LEVELS, form.undoLevels);
    form.restoreSession = Checked(dialog, IDC_RESTORE_SESSION);
    form.typingReplacesSelection = Checked(dialog, IDC_TYPING_REPLACES);
    form.makeBackups = Checked(dialog, IDC_MAKE_BACKUPS);
    form.fileLocking = Checked(dialog, IDC_FILE_LOCKING);
    form.cutCopyCurrentLine = Checked(dialog, IDC_CUT_COPY_LINE);
    form.removeTrailingSpaces = Checked(dialog, IDC_TRAILING_SPACES);
}

// The font, cursor and blinking take effect while the dialog is open.
void ShowLiveChoices() {
    ApplyEditorFont();
    if (HWND current = DocumentWindowOf(pwinCurrent)) {
        InvalidateRect(current, nullptr, FALSE);
    }
}

INT_PTR EditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* prefs = reinterpret_cast<EditorPreferencesDialog*>(GetWindowLongPtrA(dialog, DWL_USER));
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWL_USER, lParam);
        ShowEditorForm(dialog, reinterpret_cast<EditorPreferencesDialog*>(lParam)->form);
        return TRUE;
    }
    if (message != WM_COMMAND || prefs == nullptr) {
        return FALSE;
    }
    int id = LOWORD(wParam);
    if (id >= IDC_FONT_SYSTEM && id <= IDC_FONT_OEM) {
        prefs->SelectFont(id - IDC_FONT_SYSTEM);
        ShowLiveChoices();
        return TRUE;
    }
    if (id >= IDC_CURSOR_BLOCK && id <= IDC_CURSOR_BAR) {
        prefs->SelectCursor(id - IDC_CURSOR_BLOCK);
        return TRUE;
    }
    switch (id) {
        case IDC_BLINKING:
            prefs->SetBlinking(Checked(dialog, IDC_BLINKING));
            return TRUE;
        case IDOK: {
            ReadEditorForm(dialog, prefs->form);
            PreferencesResult result = prefs->Ok();
            if (!result.closed) {
                SelectField(dialog, result.focusControl);
                return TRUE;
            }
            EndDialog(dialog, IDOK);
            if (result.fontChanged) {
                ApplyEditorFont();
                PostMessageA(ew.frame, WM_FONT_CHANGED, 0, 0);
            }
            return TRUE;
        }
        case IDCANCEL:
            prefs->Cancel();
            ShowLiveChoices();
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_PREFERENCES_HELP:
            ShowHelpContext(HELP_EDITOR_PREFERENCES);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void RunDocumentPreferences() {
    if (pbufCurrent == nullptr) {
        return;
    }
    static DialogTemplate document = DocumentTemplate();
    DialogBoxIndirectParamA(ew.instance, &document, ew.frame, DocumentProc, 0);
}

void RunEditorPreferences() {
    static DialogTemplate editor = EditorTemplate();
    EditorPreferencesDialog prefs;
    DialogBoxIndirectParamA(ew.instance, &editor, ew.frame, EditorProc,
                            reinterpret_cast<LPARAM>(&prefs));
}

}  // namespace fvedit
