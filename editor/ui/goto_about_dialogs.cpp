// Goto Line (template 20), About, and the help commands.
#include "editor/core/editor_settings.h"
#include "editor/core/editor_strings.h"
#include "editor/ui/editor_dialogs.h"

namespace fvedit {

namespace {

inline constexpr const char* kHelpFile = "FVEDIT.HLP";

DialogTemplate GotoLineTemplate() {
    DialogTemplate t;
    t.caption = "Goto Line";
    t.cx = 170;
    t.cy = 50;
    t.fontName = "MS Sans Serif";
    t.items.push_back(LText("&Line Number:", IDC_STATIC, 6, 10, 50, 9));
    t.items.push_back(EditText(IDC_LINE_NUMBER, 60, 8, 50, 12, ES_AUTOHSCROLL));
    t.items.push_back(DefPushButton("OK", IDOK, 118, 6, 46, 14));
    t.items.push_back(PushButton("Cancel", IDCANCEL, 118, 24, 46, 14));
    t.items.push_back(PushButton("&Help", IDC_DIALOG_HELP, 60, 30, 46, 14));
    return t;
}

struct GotoContext {
    const char* initial;
    const GotoLineAccept* accept;
};

void SelectField(HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_LINE_NUMBER, EM_SETSEL, 0, -1);
    SetFocus(GetDlgItem(dialog, IDC_LINE_NUMBER));
}

INT_PTR GotoLineProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* context = reinterpret_cast<GotoContext*>(GetWindowLongPtrA(dialog, DWL_USER));
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWL_USER, lParam);
        context = reinterpret_cast<GotoContext*>(lParam);
        SetDlgItemTextA(dialog, IDC_LINE_NUMBER, context->initial);
        SelectField(dialog);
        return FALSE;
    }
    if (message != WM_COMMAND || context == nullptr) {
        return FALSE;
    }
    switch (LOWORD(wParam)) {
        case IDOK: {
            char text[32];
            GetDlgItemTextA(dialog, IDC_LINE_NUMBER, text, sizeof text);
            if ((*context->accept)(text)) {
                EndDialog(dialog, IDOK);
            } else {
                SelectField(dialog);
            }
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_DIALOG_HELP:
            ShowHelpContext(HELP_GOTO_LINE_CONTEXT);
            return TRUE;
        default:
            return FALSE;
    }
}

DialogTemplate AboutTemplate() {
    DialogTemplate t;
    t.caption = "About";
    t.cx = 180;
    t.cy = 60;
    t.fontName = "MS Sans Serif";
    t.items.push_back(CText(EditorTitle(), IDC_STATIC, 6, 8, 168, 10));
    t.items.push_back(CText("A multiple-document script editor", IDC_STATIC, 6, 22, 168, 10));
    t.items.push_back(DefPushButton("OK", IDOK, 67, 40, 46, 14));
    return t;
}

INT_PTR AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int RunGotoLineDialog(const char* initial, const GotoLineAccept& accept) {
    static DialogTemplate goto_line = GotoLineTemplate();
    GotoContext context{initial, &accept};
    INT_PTR result = DialogBoxIndirectParamA(ew.instance, &goto_line, ew.frame, GotoLineProc,
                                             reinterpret_cast<LPARAM>(&context));
    return result == IDOK ? 1 : 0;
}

void ShowAbout() {
    static DialogTemplate about = AboutTemplate();
    DialogBoxIndirectParamA(ew.instance, &about, ew.frame, AboutProc, 0);
}

void ShowHelpContext(DWORD context) {
    WinHelpA(ew.frame, kHelpFile, HELP_CONTEXT, context);
}

void SetHelpContents(DWORD context) {
    WinHelpA(ew.frame, kHelpFile, HELP_SETCONTENTS, context);
}

void ShowEditorHelp() {
    ShowHelpContext(26000);
}

}  // namespace fvedit
