// BatchRefDlgProc: the modeless Reference dialog of the script builder. Its owner-drawn list
// shows each command's name; the description shows the whole entry; Add inserts the name and
// Assist opens the command's assistant while the dialog waits, disabled.
#include <string>

#include "editor/core/command_reference.h"
#include "editor/core/editor_settings.h"
#include "editor/core/ui_services.h"
#include "editor/ui/script_builder.h"
#include "editor/ui/startup.h"
#include "editor/ui/ui_state.h"

namespace fvedit {

namespace {

HWND referenceDialog = nullptr;

DialogTemplate ReferenceTemplate() {
    DialogTemplate t;
    t.caption = "Reference";
    t.cx = 250;
    t.cy = 150;
    t.fontName = "MS Sans Serif";
    t.items.push_back(LText("C&ommands:", IDC_STATIC, 6, 4, 90, 9));
    t.items.push_back(ListBox(IDC_REFERENCE_LIST, 6, 14, 90, 130,
                              LBS_NOTIFY | LBS_SORT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                                  WS_VSCROLL | WS_BORDER | WS_TABSTOP));
    t.items.push_back(
        EditText(IDC_REFERENCE_TEXT, 102, 14, 142, 104, ES_MULTILINE | ES_READONLY | WS_VSCROLL));
    t.items.push_back(DefPushButton("&Add", IDOK, 102, 126, 32, 14));
    t.items.push_back(PushButton("Assis&t", IDC_REFERENCE_ASSIST, 138, 126, 34, 14));
    t.items.push_back(PushButton("&Help", IDC_REFERENCE_HELP, 176, 126, 32, 14));
    t.items.push_back(PushButton("&Close", IDCANCEL, 212, 126, 32, 14));
    return t;
}

std::string ItemText(HWND list, int index) {
    auto length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) {
        return "";
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::string NameOf(const std::string& text) {
    return text.substr(0, text.find('\r'));
}

int SelectedItem(HWND dialog) {
    return static_cast<int>(SendDlgItemMessageA(dialog, IDC_REFERENCE_LIST, LB_GETCURSEL, 0, 0));
}

int ItemId(HWND dialog, int index) {
    return static_cast<int>(SendDlgItemMessageA(dialog, IDC_REFERENCE_LIST, LB_GETITEMDATA,
                                                static_cast<WPARAM>(index), 0));
}

void ShowSelection(HWND dialog) {
    int index = SelectedItem(dialog);
    HWND list = GetDlgItem(dialog, IDC_REFERENCE_LIST);
    std::string text = index >= 0 ? ItemText(list, index) : "";
    SetDlgItemTextA(dialog, IDC_REFERENCE_TEXT, text.c_str());
    EnableWindow(GetDlgItem(dialog, IDC_REFERENCE_ASSIST),
                 index >= 0 && ItemId(dialog, index) != NO_ASSISTANT);
}

void FillReference(HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_REFERENCE_LIST);
    for (const CommandReferenceEntry& entry : LoadCommandReference()) {
        auto index =
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.text.c_str()));
        if (index >= 0) {
            SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index),
                         static_cast<LPARAM>(entry.assistant));
        }
    }
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    ShowSelection(dialog);
    SetFocus(list);
}

void DrawItem(const DRAWITEMSTRUCT& item) {
    if (item.itemID == static_cast<UINT>(-1)) {
        return;
    }
    if (item.itemAction == ODA_FOCUS) {
        DrawFocusRect(item.hDC, &item.rcItem);
        return;
    }
    bool selected = (item.itemState & ODS_SELECTED) != 0;
    COLORREF back = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    COLORREF fore = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    HBRUSH brush = CreateSolidBrush(back);
    FillRect(item.hDC, &item.rcItem, brush);
    DeleteObject(brush);
    std::string name = NameOf(ItemText(item.hwndItem, static_cast<int>(item.itemID)));
    SetBkColor(item.hDC, back);
    SetTextColor(item.hDC, fore);
    SetBkMode(item.hDC, TRANSPARENT);
    TextOutA(item.hDC, item.rcItem.left + 2, item.rcItem.top, name.c_str(),
             static_cast<int>(name.size()));
    if (item.itemState & ODS_FOCUS) {
        DrawFocusRect(item.hDC, &item.rcItem);
    }
}

void AddSelectedName(HWND dialog) {
    int index = SelectedItem(dialog);
    if (index < 0) {
        Ui().Beep();
        return;
    }
    std::string name = NameOf(ItemText(GetDlgItem(dialog, IDC_REFERENCE_LIST), index));
    if (HWND document = ActiveDocument()) {
        SetFocus(document);
    }
    InsertScriptLine(name.c_str());
}

// The assistant runs modeless over the disabled Reference dialog; the editor's messages are
// served here until it is destroyed.
void RunAssistant(HWND dialog) {
    int index = SelectedItem(dialog);
    if (index < 0 || OpenAssistant(ItemId(dialog, index), dialog) == nullptr) {
        return;
    }
    EnableWindow(dialog, FALSE);
    bool quit = false;
    while (AssistantDialog() != nullptr && !quit) {
        quit = !MessageLoopStep();
    }
    EnableWindow(dialog, TRUE);
    // The Reference takes the activation back from the assistant it owned.
    if (!quit && IsWindowVisible(dialog)) {
        SetActiveWindow(dialog);
    }
    if (quit) {
        // The editor is ending: the outer loop still has to see its quit message.
        PostQuitMessage(0);
    }
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
        case IDC_REFERENCE_LIST:
            if (HIWORD(wParam) == LBN_SELCHANGE) {
                ShowSelection(dialog);
            } else if (HIWORD(wParam) == LBN_DBLCLK) {
                AddSelectedName(dialog);
            }
            return TRUE;
        case IDOK:
            AddSelectedName(dialog);
            return TRUE;
        case IDC_REFERENCE_ASSIST:
            RunAssistant(dialog);
            return TRUE;
        case IDC_REFERENCE_HELP:
            ShowScriptHelp(dialog, HELP_REFERENCE_CONTEXT);
            return TRUE;
        case IDCANCEL:
            ShowWindow(dialog, SW_HIDE);
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR BatchRefDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            FillReference(dialog);
            return FALSE;
        case WM_DRAWITEM:
            DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) {
                SetFocus(GetDlgItem(dialog, IDC_REFERENCE_LIST));
            }
            return FALSE;
        case WM_COMMAND:
            return OnCommand(dialog, wParam);
        case WM_DESTROY:
            referenceDialog = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

HWND ReferenceDialog() {
    return referenceDialog;
}

void ShowScriptHelp(HWND owner, DWORD context) {
    WinHelpA(owner, SCRIPT_HELP_FILE, HELP_CONTEXT, context);
    WinHelpA(owner, SCRIPT_HELP_FILE, HELP_SETCONTENTS, HELP_SCRIPT_INDEX_CONTEXT);
}

void InsertScriptLine(const char* line) {
    if (HWND document = ActiveDocument()) {
        SendMessageA(document, WM_INSERT_TEXT, 0, reinterpret_cast<LPARAM>(line));
    }
}

void batch_help() {
    if (editorMode != EditorMode::ScriptBuilder) {
        return;
    }
    if (referenceDialog == nullptr) {
        static DialogTemplate reference = ReferenceTemplate();
        referenceDialog =
            CreateDialogIndirectParamA(ew.instance, &reference, ew.frame, BatchRefDlgProc, 0);
        if (referenceDialog != nullptr) {
            ShowWindow(referenceDialog, SW_SHOWNORMAL);
        }
        return;
    }
    ShowWindow(referenceDialog, IsWindowVisible(referenceDialog) ? SW_HIDE : SW_SHOWNORMAL);
}

}  // namespace fvedit
