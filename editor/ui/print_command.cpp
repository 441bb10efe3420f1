// The print command: the document, or its marked block, on the default printer (or a PDF with
// FARVANE_PRINT_PDF), with the modeless abort window (template 16) that lets the user cancel
// while every other editor window is disabled.
#include "editor/core/block_ops.h"
#include "editor/core/editor_settings.h"
#include "editor/core/ui_services.h"
#include "editor/core/user_messages.h"
#include "editor/ui/print_dialogs.h"
#include "editor/ui/printer_output.h"
#include "editor/ui/window_procedures.h"

namespace fvedit {

namespace {

inline constexpr int IDC_ABORT_TEXT = 650;
inline constexpr const char* kNoDeviceContext = "Unable to create device context.";
inline constexpr const char* kSendingBlock = "Sending selected text to print spooler.";
inline constexpr const char* kSendingFile = "Sending file to print spooler.";

volatile bool printStop = false;
HWND abortWindow = nullptr;

DialogTemplate AbortTemplate() {
    DialogTemplate t;
    t.caption = EditorTitle();
    t.cx = 180;
    t.cy = 52;
    t.fontName = "MS Sans Serif";
    t.items.push_back(CText("", IDC_ABORT_TEXT, 6, 8, 168, 10));
    t.items.push_back(DefPushButton("Cancel", IDCANCEL, 67, 30, 46, 14));
    return t;
}

INT_PTR AbortDlg(HWND dialog, UINT message, WPARAM, LPARAM) {
    (void)dialog;
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_COMMAND) {
        printStop = true;
        return TRUE;
    }
    return FALSE;
}

// Centres the abort window over the frame's client area.
void PlaceAbortWindow(HWND window) {
    RECT client;
    RECT own;
    GetClientRect(ew.frame, &client);
    GetWindowRect(window, &own);
    int width = own.right - own.left;
    int height = own.bottom - own.top;
    SetWindowPos(window, nullptr, (client.right - width) / 2, (client.bottom - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void EnableEditorWindows(BOOL enable) {
    EnableWindow(ew.frame, enable);
    for (EditWindow* window = pwinFirst; window != nullptr; window = window->next) {
        if (HWND document = DocumentWindowOf(window)) {
            EnableWindow(document, enable);
        }
    }
    if (ew.client != nullptr) {
        EnableWindow(ew.client, enable);
    }
    if (ew.status != nullptr) {
        EnableWindow(ew.status, enable);
    }
}

bool OpenAbortWindow(HWND document) {
    static DialogTemplate abortTemplate = AbortTemplate();
    printStop = false;
    abortWindow = CreateDialogIndirectParamA(ew.instance, &abortTemplate, document, AbortDlg, 0);
    if (abortWindow == nullptr) {
        ReportOutOfMemory();
        SetFocus(document);
        return false;
    }
    SetDlgItemTextA(abortWindow, IDC_ABORT_TEXT,
                    pwinCurrent->marking ? kSendingBlock : kSendingFile);
    PlaceAbortWindow(abortWindow);
    // A print run from the command line shows no window at all.
    if (editorMode != EditorMode::Print) {
        ShowWindow(abortWindow, SW_SHOWNORMAL);
    }
    EnableEditorWindows(FALSE);
    return true;
}

}  // namespace

HWND PrintAbortWindow() {
    return abortWindow;
}

BOOL AbortProc(HDC, int) {
    MSG msg;
    while (!printStop && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (abortWindow == nullptr || !IsDialogMessageA(abortWindow, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return TRUE;
}

void print_file() {
    if (pwinCurrent == nullptr) {
        return;
    }
    HWND document = DocumentWindowOf(pwinCurrent);
    HDC dc = PrinterDcFor(ew.frame, pwinCurrent);
    if (dc == nullptr) {
        Ui().MessageBox(kNoDeviceContext, EditorTitle(), UiButtons::Ok, UiIcon::Warning, false);
        return;
    }
    if (pwinCurrent->marking) {
        NormalizeBlock();
    }
    PrintJobRequest request;
    request.dc = dc;
    request.window = pwinCurrent;
    request.abortProc = AbortProc;
    request.stop = &printStop;
    request.started = [document] { return OpenAbortWindow(document); };
    PrintDocumentOn(request);
    if (abortWindow != nullptr) {
        EnableEditorWindows(TRUE);
        DestroyWindow(abortWindow);
        abortWindow = nullptr;
    }
    DeleteDC(dc);
}

}  // namespace fvedit
