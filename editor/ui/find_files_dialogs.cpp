// Find Files Containing (template 24), the modeless search status window (25) and List Found
// Files (26), with the message handling that keeps the status window answering during a
// search.
#include <cstdio>
#include <cstring>

#include "editor/core/find_files.h"
#include "editor/core/path_display.h"
#include "editor/ui/editor_dialogs.h"
#include "editor/ui/file_tools_windows.h"
#include "platform/kernel/tick.h"

namespace fvedit {

namespace {

constexpr const char* kFindCaption = "Find Files Containing";
constexpr const char* kListCaption = "List Found Files";
// The status window's lines are repainted and the messages run at most this often, so that
// searching many small files is not slowed by the windows.
constexpr DWORD kStatusIntervalMs = 40;
constexpr DWORD kPumpIntervalMs = 15;

DialogTemplate FindFilesTemplate() {
    DialogTemplate t;
    t.caption = kFindCaption;
    t.cx = 250;
    t.cy = 92;
    t.fontName = "MS Sans Serif";
    t.items.push_back(LText("&Find What:", IDC_STATIC, 6, 10, 50, 9));
    t.items.push_back(ComboBox(IDC_FIND_PATTERN, 60, 8, 130, 60, CBS_DROPDOWN | CBS_AUTOHSCROLL));
    t.items.push_back(LText("Directory:", IDC_STATIC, 6, 28, 50, 9));
    t.items.push_back(LText("", IDC_FIND_DIRECTORY, 60, 28, 130, 9, SS_NOPREFIX));
    t.items.push_back(LText("F&iles:", IDC_STATIC, 6, 44, 50, 9));
    t.items.push_back(
        ComboBox(IDC_FIND_FILE_MASKS, 60, 42, 130, 60, CBS_DROPDOWN | CBS_AUTOHSCROLL));
    t.items.push_back(AutoCheckBox("&Match Upper/Lowercase", IDC_FIND_MATCH_CASE, 6, 62, 100, 10));
    t.items.push_back(
        AutoCheckBox("&Regular Expression", IDC_FIND_REGULAR_EXPRESSION, 6, 74, 100, 10));
    t.items.push_back(DefPushButton("OK", IDOK, 198, 6, 46, 14));
    t.items.push_back(PushButton("Cancel", IDCANCEL, 198, 24, 46, 14));
    t.items.push_back(PushButton("&Help", IDC_DIALOG_HELP, 198, 42, 46, 14));
    return t;
}

DialogTemplate StatusTemplate() {
    DialogTemplate t;
    t.style = WS_POPUP | WS_VISIBLE | WS_CAPTION;
    t.caption = kFindCaption;
    t.cx = 220;
    t.cy = 72;
    t.fontName = "MS Sans Serif";
    t.items.push_back(LText("Searching:", IDC_STATIC, 6, 6, 208, 9));
    t.items.push_back(LText("", IDC_STATUS_SEARCHING, 6, 16, 208, 9, SS_NOPREFIX));
    t.items.push_back(LText("Found pattern in", IDC_STATUS_FOUND_LABEL, 6, 30, 208, 9));
    t.items.push_back(LText("", IDC_STATUS_FOUND, 6, 40, 208, 9, SS_NOPREFIX));
    t.items.push_back(DefPushButton("Cancel", IDCANCEL, 87, 54, 46, 14));
    return t;
}

DialogTemplate FileListTemplate() {
    DialogTemplate t;
    t.caption = kListCaption;
    t.cx = 250;
    t.cy = 120;
    t.fontName = "MS Sans Serif";
    t.items.push_back(LText("Pattern:", IDC_STATIC, 6, 6, 40, 9));
    t.items.push_back(LText("", IDC_LIST_PATTERN, 48, 6, 140, 9, SS_NOPREFIX));
    t.items.push_back(LText("Files:", IDC_STATIC, 6, 18, 40, 9));
    t.items.push_back(LText("", IDC_LIST_FILE_MASKS, 48, 18, 140, 9, SS_NOPREFIX));
    t.items.push_back(ListBox(IDC_LIST_FILES, 6, 32, 184, 82, WS_VSCROLL | LBS_NOTIFY));
    t.items.push_back(DefPushButton("&Open", IDOK, 198, 6, 46, 14));
    t.items.push_back(PushButton("Cancel", IDCANCEL, 198, 24, 46, 14));
    t.items.push_back(PushButton("&Help", IDC_DIALOG_HELP, 198, 42, 46, 14));
    return t;
}

std::string ItemText(HWND dialog, int id) {
    char text[FILE_TOOLS_TEXT_SIZE] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void InitFindFiles(HWND dialog, const FindFilesDialogData& data) {
    FillHistoryCombo(dialog, IDC_FIND_PATTERN, data.patternHistory);
    FillHistoryCombo(dialog, IDC_FIND_FILE_MASKS, data.fileMaskHistory);
    SendDlgItemMessageA(dialog, IDC_FIND_PATTERN, CB_LIMITTEXT, FILE_TOOLS_TEXT_SIZE - 1, 0);
    SendDlgItemMessageA(dialog, IDC_FIND_FILE_MASKS, CB_LIMITTEXT, FILE_TOOLS_TEXT_SIZE - 1, 0);
    SetDlgItemTextA(dialog, IDC_FIND_PATTERN, data.pattern);
    SetDlgItemTextA(dialog, IDC_FIND_FILE_MASKS, data.fileMasks);
    SetDlgItemTextA(dialog, IDC_FIND_DIRECTORY, data.currentDirectory);
    CheckDlgButton(dialog, IDC_FIND_MATCH_CASE, data.matchCase ? BST_CHECKED : 0);
    CheckDlgButton(dialog, IDC_FIND_REGULAR_EXPRESSION, data.regularExpression ? BST_CHECKED : 0);
    if (data.oemFont) {
        // Text typed in the OEM document font is shown in that font; the OEM conversion of
        // the characters is the identity on this system.
        HWND pattern = GetDlgItem(dialog, IDC_FIND_PATTERN);
        SetWindowLongA(pattern, GWL_STYLE, GetWindowLongA(pattern, GWL_STYLE) | CBS_OEMCONVERT);
        SendMessageA(pattern, WM_SETFONT, reinterpret_cast<WPARAM>(ew.editorFont), TRUE);
    }
    SendDlgItemMessageA(dialog, IDC_FIND_PATTERN, CB_SETEDITSEL, 0, MAKELPARAM(0, 0xFFFF));
    SetFocus(GetDlgItem(dialog, IDC_FIND_PATTERN));
}

void StoreFindFiles(HWND dialog, FindFilesDialogData& data) {
    std::snprintf(data.pattern, sizeof data.pattern, "%s",
                  ItemText(dialog, IDC_FIND_PATTERN).c_str());
    std::snprintf(data.fileMasks, sizeof data.fileMasks, "%s",
                  ItemText(dialog, IDC_FIND_FILE_MASKS).c_str());
    data.matchCase = IsDlgButtonChecked(dialog, IDC_FIND_MATCH_CASE) == BST_CHECKED;
    data.regularExpression = IsDlgButtonChecked(dialog, IDC_FIND_REGULAR_EXPRESSION) == BST_CHECKED;
}

HWND statusWindow = nullptr;

// Puts a path into a static of the status window, shortened to the static's width.
void SetPathText(int id, const char* path) {
    HWND control = GetDlgItem(statusWindow, id);
    if (control == nullptr) {
        return;
    }
    RECT box;
    GetClientRect(control, &box);
    HDC dc = GetDC(control);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font != nullptr ? SelectObject(dc, font) : nullptr;
    auto measure = [dc](const std::string& text) {
        SIZE size{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    };
    std::string shown = ShortenPathForDisplay(path, box.right - box.left, measure);
    if (previous != nullptr) {
        SelectObject(dc, previous);
    }
    ReleaseDC(control, dc);
    SetWindowTextA(control, shown.c_str());
}

void CentreOnFrame(HWND window) {
    RECT frame;
    RECT box;
    GetWindowRect(ew.frame, &frame);
    GetWindowRect(window, &box);
    int width = box.right - box.left;
    int height = box.bottom - box.top;
    int x = frame.left + ((frame.right - frame.left) - width) / 2;
    int y = frame.top + ((frame.bottom - frame.top) - height) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

bool CreateStatusWindow() {
    static DialogTemplate status = StatusTemplate();
    // Owned by the frame, which stays enabled while the document area is disabled.
    statusWindow = CreateDialogIndirectParamA(ew.instance, &status, ew.frame, FindFileStatusDlg, 0);
    if (statusWindow == nullptr) {
        return false;
    }
    ShowWindow(GetDlgItem(statusWindow, IDC_STATUS_FOUND_LABEL), SW_HIDE);
    CentreOnFrame(statusWindow);
    return true;
}

// Whether a waiting message may run during a search: input only for the status window.
bool MayRunDuringSearch(const MSG& msg) {
    bool input = (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) ||
                 (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST);
    return !input || (statusWindow != nullptr &&
                      (msg.hwnd == statusWindow || IsChild(statusWindow, msg.hwnd)));
}

void EnableMenuBar(bool enable) {
    HMENU bar = GetMenu(ew.frame);
    if (bar == nullptr) {
        return;
    }
    int count = GetMenuItemCount(bar);
    for (int i = 0; i < count; ++i) {
        EnableMenuItem(bar, static_cast<UINT>(i),
                       MF_BYPOSITION | (enable ? MF_ENABLED : MF_GRAYED));
    }
    DrawMenuBar(ew.frame);
}

struct FileListContext {
    FileListDialogData* data;
};

bool TakeChosenFile(HWND dialog, FileListDialogData& data) {
    LRESULT index = SendDlgItemMessageA(dialog, IDC_LIST_FILES, LB_GETCURSEL, 0, 0);
    if (index < 0 || index >= static_cast<LRESULT>(data.files.size())) {
        return false;
    }
    data.chosen = static_cast<int>(index);
    return true;
}

}  // namespace

INT_PTR FindFilesDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* data = reinterpret_cast<FindFilesDialogData*>(GetWindowLongPtrA(dialog, DWL_USER));
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWL_USER, lParam);
        InitFindFiles(dialog, *reinterpret_cast<FindFilesDialogData*>(lParam));
        return FALSE;
    }
    if (message != WM_COMMAND || data == nullptr) {
        return FALSE;
    }
    switch (LOWORD(wParam)) {
        case IDOK:
            StoreFindFiles(dialog, *data);
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_DIALOG_HELP:
            ShowFileToolsHelp(HELP_FIND_FILES_CONTEXT);
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR FindFileStatusDlg(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
            StopFindFiles();
            return TRUE;
        case WM_CLOSE:
            // Closed by the user: the search ends with what it found, as with Cancel.
            StopFindFiles();
            DestroyWindow(dialog);
            return TRUE;
        case WM_DESTROY:
            if (dialog == statusWindow) {
                statusWindow = nullptr;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

INT_PTR FileListDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* context = reinterpret_cast<FileListContext*>(GetWindowLongPtrA(dialog, DWL_USER));
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWL_USER, lParam);
        context = reinterpret_cast<FileListContext*>(lParam);
        const FileListDialogData& data = *context->data;
        SetDlgItemTextA(dialog, IDC_LIST_PATTERN, data.pattern);
        SetDlgItemTextA(dialog, IDC_LIST_FILE_MASKS, data.fileMasks);
        for (const std::string& file : data.files) {
            SendDlgItemMessageA(dialog, IDC_LIST_FILES, LB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(file.c_str()));
        }
        SendDlgItemMessageA(dialog, IDC_LIST_FILES, LB_SETCURSEL, 0, 0);
        SetFocus(GetDlgItem(dialog, IDC_LIST_FILES));
        return FALSE;
    }
    if (message != WM_COMMAND || context == nullptr) {
        return FALSE;
    }
    WORD id = LOWORD(wParam);
    if (id == IDOK || (id == IDC_LIST_FILES && HIWORD(wParam) == LBN_DBLCLK)) {
        if (TakeChosenFile(dialog, *context->data)) {
            EndDialog(dialog, IDOK);
        }
        return TRUE;
    }
    if (id == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    if (id == IDC_DIALOG_HELP) {
        ShowFileToolsHelp(HELP_FILE_LIST_CONTEXT);
        return TRUE;
    }
    return FALSE;
}

int RunFindFilesDialog(FindFilesDialogData& data) {
    static DialogTemplate findFiles = FindFilesTemplate();
    INT_PTR result = DialogBoxIndirectParamA(ew.instance, &findFiles, ew.frame, FindFilesDlg,
                                             reinterpret_cast<LPARAM>(&data));
    return result == IDOK ? 1 : 0;
}

int RunFileListDialog(FileListDialogData& data) {
    static DialogTemplate fileList = FileListTemplate();
    FileListContext context{&data};
    INT_PTR result = DialogBoxIndirectParamA(ew.instance, &fileList, ew.frame, FileListDlg,
                                             reinterpret_cast<LPARAM>(&context));
    return result == IDOK ? 1 : 0;
}

void ShowStatusWindow(const char* searching, const char* lastFound) {
    if ((statusWindow == nullptr || !IsWindow(statusWindow)) && !CreateStatusWindow()) {
        return;
    }
    SetPathText(IDC_STATUS_SEARCHING, searching);
    if (lastFound != nullptr) {
        ShowWindow(GetDlgItem(statusWindow, IDC_STATUS_FOUND_LABEL), SW_SHOW);
        SetPathText(IDC_STATUS_FOUND, lastFound);
    }
}

void CloseStatusWindow() {
    if (statusWindow != nullptr) {
        HWND window = statusWindow;
        statusWindow = nullptr;
        if (IsWindow(window)) {
            DestroyWindow(window);
        }
    }
}

void EnableEditorWindows(bool enable) {
    EnableWindow(ew.client, enable);
    if (ew.status != nullptr) {
        EnableWindow(ew.status, enable);
    }
    EnableMenuBar(enable);
}

void WindowedFileTools::ShowSearchStatus(const char* searching, const char* lastFound) {
    DWORD now = GetTickCount();
    bool due = statusWindow == nullptr || lastFound != nullptr ||
               now - lastStatusTick_ >= kStatusIntervalMs;
    if (!due) {
        return;
    }
    lastStatusTick_ = now;
    if (statusWindow == nullptr) {
        // The new window's first messages run at the next file.
        lastPumpTick_ = now - kPumpIntervalMs;
    }
    ShowStatusWindow(searching, lastFound);
}

void WindowedFileTools::ProcessPendingMessages() {
    DWORD now = GetTickCount();
    if (now - lastPumpTick_ < kPumpIntervalMs) {
        return;
    }
    lastPumpTick_ = now;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The editor is ending: the search stops and the loop sees the request again.
            StopFindFiles();
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (!MayRunDuringSearch(msg)) {
            continue;
        }
        if (statusWindow != nullptr && IsDialogMessageA(statusWindow, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

HWND OpenFileToolsDialog() {
    if (statusWindow != nullptr && IsWindow(statusWindow)) {
        return statusWindow;
    }
    return DifferenceWindow();
}

void ShowFileToolsHelp(DWORD context) {
    ShowHelpContext(context);
    SetHelpContents(26000);
}

void InstallFileToolsWindows(bool install) {
    static WindowedFileTools windowed;
    SetFileToolsUi(install ? &windowed : nullptr);
}

}  // namespace fvedit
