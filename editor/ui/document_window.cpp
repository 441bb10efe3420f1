// DocumentWndProc: one document window on an edit window record. Each message goes to a
// named handler; the handled input messages end with the common tail (undo serial, goal
// column, display update, autosave checks).
#include <cstdlib>

#include "editor/core/autosave.h"
#include "editor/core/command_state.h"
#include "editor/core/cursor_commands.h"
#include "editor/core/cursor_steps.h"
#include "editor/core/document_input.h"
#include "editor/core/editing_commands.h"
#include "editor/core/editor_settings.h"
#include "editor/core/file_save.h"
#include "editor/core/find_replace.h"
#include "editor/core/macro.h"
#include "editor/core/ui_services.h"
#include "editor/ui/editor_menus.h"
#include "editor/ui/window_painter.h"
#include "editor/ui/window_procedures.h"
#include "editor/view/display_update.h"
#include "editor/view/mouse_input.h"
#include "editor/view/scroll_bars.h"
#include "editor/view/view_metrics.h"

namespace fvedit {

namespace {

short SignedLow(LPARAM value) {
    return static_cast<short>(value & 0xFFFF);
}
short SignedHigh(LPARAM value) {
    return static_cast<short>((value >> 16) & 0xFFFF);
}

void OnCreate(HWND window, LPARAM lParam) {
    auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    auto* mdi = static_cast<const MDICREATESTRUCTA*>(create->lpCreateParams);
    auto* record = reinterpret_cast<EditWindow*>(mdi->lParam);
    ++ew.documentCount;
    if (ew.status == nullptr || NoDocumentMenuShown()) {
        ShowDocumentMenu();
    }
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(record));
    record->view = window;
}

void OnDestroy(HWND window, EditWindow* record) {
    SetWindowLongPtrA(window, 0, 0);
    if (ew.activeDocument == window) {
        ew.activeDocument = nullptr;
    }
    if (record != nullptr) {
        record->view = nullptr;
        FreeEditWindow(record);  // deletes the autosave file with the buffer's last window
    }
    --ew.documentCount;
    if (ew.exiting) {
        return;
    }
    if (ew.documentCount <= 0) {
        ShowNoDocumentMenu();
    } else if (!AnyDocumentShown()) {
        ShowAllMinimisedMenu();
    }
}

void OnClose(HWND window, EditWindow* record) {
    if (AskToSave(record->buffer, record)) {
        SendMessageA(ew.client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
    }
}

void OnSetFocus(HWND window, EditWindow* record) {
    if (fConfirmInProgress) {
        confirm_cancel();
    }
    EditWindow* previous = pwinCurrent;
    SetCurrentWindow(record);
    if (previous != nullptr && previous != record && previous->marking) {
        Painter().RepaintWindow(previous);
    }
    viewMetrics.caret = static_cast<CaretShape>(editorSettings.cursorShape);
    CreateEditorCaret(window);
    record->redraw |= RD_ALL;
    DisplayUpdate();
    if (!record->marking) {
        ShowCaret(window);
    }
}

void OnKillFocus(HWND window) {
    HideCaret(window);
    DestroyCaret();
    if (fMouseSelecting) {
        ReleaseCapture();
        MouseUp();
    }
}

void OnSize(EditWindow* record, WPARAM kind, LPARAM lParam) {
    if (record != nullptr) {
        SizeWindow(record, LOWORD(lParam), HIWORD(lParam));
    }
    // A window restored from the all-minimised state brings the document menu back (the
    // restore query does the same when the user restores it; the size covers every way).
    if (kind != SIZE_MINIMIZED && NoDocumentMenuShown() && AnyDocumentShown()) {
        ShowDocumentMenu();
    }
}

void OnPaint(HWND window, EditWindow* record) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (record != nullptr && record->painting) {
        PaintDocument(window, record, dc, paint.rcPaint);
    }
    EndPaint(window, &paint);
}

void OnKey() {
    if (fScrolledByCursor) {
        cursorScrollStep = 1;
        fScrolledByCursor = 0;
        Painter().RepaintStatus();
    }
}

void OnCharacter(WPARAM wParam, LPARAM lParam) {
    reframe();
    HandleDocumentInput(WM_CHAR, wParam, lParam);
}

void OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    if (IsIconic(window)) {
        return;
    }
    if (!HandleDocumentInput(WM_COMMAND, wParam, lParam)) {
        DocumentMenuCommand(LOWORD(wParam));
    }
}

LRESULT OnSysCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    switch (wParam & 0xFFF0) {
        case SC_MAXIMIZE:
            ew.childrenMaximised = true;
            break;
        case SC_RESTORE:
            ew.childrenMaximised = false;
            break;
        default:
            break;
    }
    LRESULT result = DefMDIChildProcA(window, WM_SYSCOMMAND, wParam, lParam);
    if ((wParam & 0xFFF0) == SC_MINIMIZE) {
        // Minimising the last shown window leaves the all-minimised menu and no status line.
        if (!AnyDocumentShown()) {
            ShowAllMinimisedMenu();
        }
        PostMessageA(window, WM_REPAINT_IF_ICONIC, 0, 0);
    }
    return result;
}

void OnVerticalScroll(HWND window, WPARAM wParam) {
    static const ScrollAction kActions[] = {ScrollAction::LineUp, ScrollAction::LineDown,
                                            ScrollAction::PageUp, ScrollAction::PageDown};
    WORD code = LOWORD(wParam);
    EditWindow* record = pwinCurrent;
    if (code <= SB_PAGEDOWN) {
        int moved = VerticalScroll(kActions[code]);
        // Scrolling by less than a window moves the pixels and paints only the rows uncovered.
        if (moved != 0 && std::abs(moved) < record->rows && !record->marking) {
            record->redraw &= static_cast<WORD>(~RD_ALL);
            ScrollDocumentRows(window, moved);
        }
    } else if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) {
        VerticalScroll(ScrollAction::Thumb, HIWORD(wParam));
    } else if (code == SB_ENDSCROLL) {
        VerticalScroll(ScrollAction::End);
    }
}

void OnHorizontalScroll(WPARAM wParam) {
    WORD code = LOWORD(wParam);
    ScrollAction action = code == SB_LINELEFT    ? ScrollAction::LineUp
                          : code == SB_LINERIGHT ? ScrollAction::LineDown
                          : code == SB_PAGELEFT  ? ScrollAction::PageUp
                          : code == SB_PAGERIGHT ? ScrollAction::PageDown
                          : (code == SB_THUMBTRACK || code == SB_THUMBPOSITION)
                              ? ScrollAction::Thumb
                              : ScrollAction::End;
    fScrolledAway = 1;
    HorizontalScroll(action, HIWORD(wParam));
    DisplayUpdate();
}

bool NoMouseMessageWaiting() {
    MSG msg;
    return !PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE);
}

void OnMouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    int x = SignedLow(lParam);
    int y = SignedHigh(lParam);
    switch (message) {
        case WM_LBUTTONDOWN:
            SetCapture(window);
            MouseDown(x, y, (wParam & MK_SHIFT) != 0);
            break;
        case WM_MOUSEMOVE:
            if (wParam & MK_LBUTTON) {
                MouseMove(x, y, NoMouseMessageWaiting);
            }
            break;
        case WM_LBUTTONUP:
            if (GetCapture() == window) {
                ReleaseCapture();
            }
            MouseUp();
            break;
        default:
            MouseDoubleClick(x, y);
            break;
    }
}

void OnActivate(HWND window, WPARAM deactivated, LPARAM activated) {
    if (reinterpret_cast<HWND>(activated) == window) {
        ew.activeDocument = window;
        ew.lastDeactivated = reinterpret_cast<HWND>(deactivated);
    } else {
        ew.activeDocument = nullptr;
        ew.lastDeactivated = nullptr;
        ValidateRect(window, nullptr);
    }
}

// A click in the client area of a window other than the one its activation last deactivated
// only activates it; other clicks activate and go on to the window.
LRESULT OnMouseActivate(HWND window, LPARAM lParam) {
    return LOWORD(lParam) == HTCLIENT && window != ew.lastDeactivated ? MA_ACTIVATEANDEAT
                                                                      : MA_ACTIVATE;
}

// The common tail of the handled input messages.
LRESULT Tail() {
    CommandTail();
    return 0;
}

}  // namespace

HWND DocumentWindowOf(const EditWindow* window) {
    if (window == nullptr || window->view == nullptr) {
        return nullptr;
    }
    auto* document = static_cast<HWND>(window->view);
    return IsWindow(document) ? document : nullptr;
}

EditWindow* RecordOf(HWND document) {
    return reinterpret_cast<EditWindow*>(GetWindowLongPtrA(document, 0));
}

LRESULT DocumentWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    EditWindow* record = RecordOf(window);
    switch (message) {
        case WM_CREATE:
            OnCreate(window, lParam);
            break;
        case WM_DESTROY:
            OnDestroy(window, record);
            return 0;
        case WM_CLOSE:
            OnClose(window, record);
            return Tail();
        case WM_SETFOCUS:
            OnSetFocus(window, record);
            return 0;
        case WM_KILLFOCUS:
            OnKillFocus(window);
            return 0;
        case WM_SIZE:
            OnSize(record, wParam, lParam);
            break;
        case WM_PAINT:
            OnPaint(window, record);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP:
            OnKey();
            break;
        case WM_CHAR:
            OnCharacter(wParam, lParam);
            return Tail();
        case WM_COMMAND:
            OnCommand(window, wParam, lParam);
            return Tail();
        case WM_SYSCOMMAND:
            return OnSysCommand(window, wParam, lParam);
        case WM_QUERYOPEN:
            if (!AnyDocumentShown()) {
                ShowDocumentMenu();
            }
            break;
        case WM_VSCROLL:
            OnVerticalScroll(window, wParam);
            return Tail();
        case WM_HSCROLL:
            OnHorizontalScroll(wParam);
            return 0;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
            OnMouse(window, message, wParam, lParam);
            return Tail();
        case WM_MDIACTIVATE:
            OnActivate(window, wParam, lParam);
            break;
        case WM_MOUSEACTIVATE:
            return OnMouseActivate(window, lParam);
        case WM_CENTER_DOT_LINE:
            to_center();
            return Tail();
        case WM_REPAINT_IF_ICONIC:
            if (IsIconic(window)) {
                InvalidateRect(window, nullptr, TRUE);
            }
            return 0;
        case WM_INSERT_TEXT:
            InsertTextRequest(reinterpret_cast<const char*>(lParam));
            return Tail();
        case WM_TIMER:
            CheckAutosave();
            return 0;
        default:
            break;
    }
    return DefMDIChildProcA(window, message, wParam, lParam);
}

}  // namespace fvedit
