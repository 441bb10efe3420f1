// FrameWndProc: the editor's main window. Commands go to the active document window while one
// is shown; otherwise only the commands that need no document work.
#include <string>

#include "editor/core/autosave.h"
#include "editor/core/command_table.h"
#include "editor/core/documents.h"
#include "editor/core/editor_paths.h"
#include "editor/core/editor_settings.h"
#include "editor/core/file_save.h"
#include "editor/core/find_replace.h"
#include "editor/core/key_table.h"
#include "editor/core/state_file.h"
#include "editor/ui/command_line.h"
#include "editor/ui/editor_menus.h"
#include "editor/ui/menu_ids.h"
#include "editor/ui/window_painter.h"
#include "editor/ui/window_procedures.h"
#include "editor/view/display_update.h"

namespace fvedit {

namespace {

bool NoDocumentMenuCommand(UINT id) {
    switch (id) {
        case IDM_NEW:
        case IDM_OPEN:
        case IDM_EXIT:
        case IDM_FIND_FILES:
        case IDM_LIST_FOUND_FILES:
        case IDM_EDITOR_PREFERENCES:
        case IDM_KEY_ASSIGNMENTS:
        case IDM_ARRANGE_ICONS:
        case IDM_HELP_CONTENTS:
        case IDM_HELP_KEYBOARD:
        case IDM_HELP_SEARCH:
        case IDM_ABOUT:
            return true;
        default:
            return id >= IDM_RECENT_1 && id <= IDM_RECENT_4;
    }
}

// Key-assigned functions that work without a document window.
bool NoDocumentKeyCommand(WORD id) {
    static const char* const kAllowed[] = {"open_file",
                                           "new_file",
                                           "exit",
                                           "save_all_exit",
                                           "save_all_exit_windows",
                                           "find_files_containing",
                                           "list_files_containing",
                                           "editor_help",
                                           "about"};
    KeySlot* slot = SlotForId(id);
    if (slot == nullptr || slot->command == nullptr) {
        return false;
    }
    for (const char* name : kAllowed) {
        if (slot->command == FindCommandByName(name)) {
            return true;
        }
    }
    return false;
}

void OnCommand(HWND frame, WPARAM wParam, LPARAM lParam) {
    if (IsIconic(frame)) {
        return;
    }
    UINT id = LOWORD(wParam);
    if (id >= ID_FIRST_DOCUMENT && id < FIRST_KEY_COMMAND_ID) {
        DefFrameProcA(frame, ew.client, WM_COMMAND, wParam, lParam);  // the window list
        return;
    }
    if (AnyDocumentShown()) {
        if (HWND active = ActiveDocument()) {
            SendMessageA(active, WM_COMMAND, wParam, lParam);
        }
        return;
    }
    if (id >= FIRST_KEY_COMMAND_ID && id <= LAST_KEY_COMMAND_ID) {
        if (NoDocumentKeyCommand(static_cast<WORD>(id))) {
            DispatchKeyCommand(static_cast<WORD>(id));
        }
    } else if (NoDocumentMenuCommand(id)) {
        DocumentMenuCommand(id);
    }
}

void LayOutFrame(HWND frame, int width, int height) {
    (void)frame;
    int statusHeight = ew.status != nullptr ? ew.statusHeight : 0;
    if (ew.client != nullptr) {
        MoveWindow(ew.client, 0, 0, width, height - statusHeight, TRUE);
    }
    if (ew.status != nullptr) {
        MoveWindow(ew.status, 0, height - statusHeight, width, statusHeight, TRUE);
    }
}

void RememberFramePlacement(HWND frame) {
    editorSettings.frameMaximized = IsZoomed(frame) ? 1 : 0;
    if (IsIconic(frame) || IsZoomed(frame)) {
        return;
    }
    RECT rect;
    GetWindowRect(frame, &rect);
    editorSettings.frameX = rect.left;
    editorSettings.frameY = rect.top;
    editorSettings.frameWidth = rect.right - rect.left;
    editorSettings.frameHeight = rect.bottom - rect.top;
}

void OnDropFiles(HWND frame, HDROP drop) {
    if (IsIconic(frame)) {
        ShowWindow(frame, SW_RESTORE);
    }
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        char path[PATH_NAME_SIZE];
        char full[PATH_NAME_SIZE];
        if (DragQueryFileA(drop, i, path, sizeof path) > 0 &&
            FullPathName(path, full, sizeof full)) {
            OpenDocument(full, 0, 0, true);
        }
    }
    DragFinish(drop);
}

void OnTimer(WPARAM id, LPARAM lParam) {
    HWND current = DocumentWindowOf(pwinCurrent);
    if (!fMouseSelecting && current != nullptr && GetFocus() == current) {
        SendMessageA(current, WM_TIMER, id, lParam);
    }
}

void OnDestroy() {
    ew.exiting = true;
    SetCaretBlinkTime(ew.systemBlinkTime);
    WinHelpA(ew.frame, nullptr, HELP_QUIT, 0);
    KillTimer(ew.frame, ID_FRAME_TIMER);
    SaveEditorState();
    for (Buffer* buffer = pbufFirst; buffer != nullptr; buffer = buffer->next) {
        DeleteAutosaveFile(buffer);
    }
    for (HMENU* menu : {&ew.noDocumentMenu, &ew.documentMenu, &ew.allMinimisedMenu}) {
        if (*menu != nullptr && *menu != GetMenu(ew.frame)) {
            DestroyMenu(*menu);
        }
        *menu = nullptr;
    }
    PostQuitMessage(0);
}

void OnFontChanged(HWND frame) {
    for (EditWindow* window = pwinFirst; window != nullptr; window = window->next) {
        if (HWND document = DocumentWindowOf(window)) {
            RECT area;
            GetClientRect(document, &area);
            SendMessageA(document, WM_SIZE, SIZE_RESTORED, MAKELPARAM(area.right, area.bottom));
            SendMessageA(document, WM_CENTER_DOT_LINE, 0, 0);
        }
    }
    RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

LRESULT OnRestoreQuery(HWND frame) {
    if (editorMode == EditorMode::Print) {
        return 0;
    }
    if (editorSettings.frameMaximized) {
        PostMessageA(frame, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    }
    if (ew.frameStartedMinimised && ew.startedWithDocuments) {
        ew.frameStartedMinimised = false;
        SendMessageA(ew.client, WM_MDICASCADE, 0, 0);
        if (HWND current = DocumentWindowOf(pwinCurrent)) {
            PostMessageA(current, WM_CENTER_DOT_LINE, 0, 0);
        }
    }
    return 1;
}

}  // namespace

LRESULT FrameWndProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(frame, wParam, lParam);
            return 0;
        case WM_INITMENU:
            if (fConfirmInProgress) {
                confirm_cancel();
            }
            return 0;
        case WM_INITMENUPOPUP:
            if (!HIWORD(lParam)) {
                UpdateMenuPopup(reinterpret_cast<HMENU>(wParam));
            }
            return 0;
        case WM_MOVE:
            RememberFramePlacement(frame);
            return 0;
        case WM_SIZE:
            RememberFramePlacement(frame);
            if (wParam != SIZE_MINIMIZED) {
                LayOutFrame(frame, LOWORD(lParam), HIWORD(lParam));
            }
            return 0;
        case WM_DROPFILES:
            OnDropFiles(frame, reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_TIMER:
            OnTimer(wParam, lParam);
            return 0;
        case WM_SYSCOLORCHANGE:
            LoadSystemColours();
            return 0;
        case WM_CLOSE:
            if (AskToSaveAll()) {
                DestroyWindow(frame);
            }
            return 0;
        case WM_QUERYENDSESSION:
            SaveEditorState();
            return AskToSaveAll();
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_QUERYOPEN:
            return OnRestoreQuery(frame);
        case WM_FONT_CHANGED:
            OnFontChanged(frame);
            return 0;
        case WM_HAND_OVER_COMMAND_LINE:
            AcceptHandedOverCommandLine(wParam);
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_NEXTWINDOW && AnyDocumentShown()) {
                OnCommand(frame, IDM_NEXT_WINDOW, 0);
                return 0;
            }
            break;
        default:
            break;
    }
    return DefFrameProcA(frame, ew.client, message, wParam, lParam);
}

}  // namespace fvedit
