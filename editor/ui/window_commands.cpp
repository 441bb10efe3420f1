#include "editor/ui/window_commands.h"

#include "editor/core/command_table.h"
#include "editor/core/cursor_steps.h"
#include "editor/core/file_save.h"
#include "editor/core/trace.h"
#include "editor/core/ui_services.h"
#include "editor/core/user_messages.h"
#include "editor/ui/editor_dialogs.h"
#include "editor/ui/print_dialogs.h"
#include "editor/ui/script_builder.h"
#include "editor/ui/ui_state.h"
#include "editor/view/display_update.h"

namespace fvedit {

namespace {

// The document window after (or before) the current one in the window list, skipping
// minimised ones; null when there is none.
HWND NeighbourWindow(bool forward) {
    EditWindow* start = pwinCurrent;
    if (start == nullptr) {
        return nullptr;
    }
    EditWindow* candidate = start;
    for (;;) {
        if (forward) {
            candidate = candidate->next != nullptr ? candidate->next : pwinFirst;
        } else {
            EditWindow* previous = nullptr;
            for (EditWindow* w = pwinFirst; w != nullptr; w = w->next) {
                if (w->next == candidate || (candidate == pwinFirst && w->next == nullptr)) {
                    previous = w;
                }
            }
            candidate = previous != nullptr ? previous : start;
        }
        if (candidate == start) {
            return nullptr;
        }
        HWND document = DocumentWindowOf(candidate);
        if (document != nullptr && !IsIconic(document)) {
            return document;
        }
    }
}

void Activate(HWND document) {
    if (document != nullptr) {
        SendMessageA(ew.client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(document), 0);
    }
}

void EndSession() {
    // Ending the desktop session is not the editor's to do on this system: the editor has
    // closed and that is all.
    EditorTrace("exit_windows: the desktop session is left running");
}

}  // namespace

void new_window() {
    if (pwinCurrent == nullptr) {
        return;
    }
    Buffer* buffer = pwinCurrent->buffer;
    EditWindow* window = NewEditWindow(buffer);
    if (window == nullptr) {
        ReportOutOfMemory();
        return;
    }
    RefreshTitles(buffer);
    SetCurrentWindow(window);
    if (!Ui().CreateDocumentWindow(window, true)) {
        FreeEditWindow(window);
        ReportOutOfMemory();
        return;
    }
    if (HWND document = DocumentWindowOf(window)) {
        SetFocus(document);
    }
    RefreshTitles(buffer);
}

void next_window() {
    Activate(NeighbourWindow(true));
}

void prev_window() {
    Activate(NeighbourWindow(false));
}

void cascade() {
    SendMessageA(ew.client, WM_MDICASCADE, 0, 0);
    ew.childrenMaximised = false;
}

void tile() {
    SendMessageA(ew.client, WM_MDITILE, 0, 0);
    ew.childrenMaximised = false;
}

void arrange_icons() {
    SendMessageA(ew.client, WM_MDIICONARRANGE, 0, 0);
}

void zoom_window() {
    if (HWND active = ActiveDocument()) {
        SendMessageA(ew.client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(active), 0);
        ew.childrenMaximised = true;
    }
}

void restore_window() {
    if (ew.firstRestore) {
        ew.firstRestore = false;
        cascade();
    } else if (HWND current = DocumentWindowOf(pwinCurrent)) {
        SendMessageA(ew.client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(current), 0);
    }
    if (pwinCurrent != nullptr) {
        pwinCurrent->redraw |= RD_REFRAME;
    }
    ew.childrenMaximised = false;
}

void close_window() {
    HWND active = ActiveDocument();
    if (active == nullptr || !IsWindow(active)) {
        EditorTrace("close_window(): invalid window handle");
        return;
    }
    SendMessageA(active, WM_CLOSE, 0, 0);
}

void exit_editor() {
    PostMessageA(ew.frame, WM_CLOSE, 0, 0);
}

void exit_windows() {
    SendMessageA(ew.frame, WM_CLOSE, 0, 0);
    if (!IsWindow(ew.frame)) {
        EndSession();
    }
}

void save_all_exit() {
    if (save_all()) {
        PostMessageA(ew.frame, WM_CLOSE, 0, 0);
    }
}

void save_all_exit_windows() {
    if (save_all()) {
        exit_windows();
    }
}

void BindWindowCommands() {
    struct Pair {
        const char* name;
        CommandFunction function;
    };
    static constexpr Pair kPairs[] = {
        {"new_window", new_window},
        {"next_window", next_window},
        {"prev_window", prev_window},
        {"cascade", cascade},
        {"tile", tile},
        {"zoom_window", zoom_window},
        {"restore_window", restore_window},
        {"close_window", close_window},
        {"exit", exit_editor},
        {"exit_windows", exit_windows},
        {"save_all_exit", save_all_exit},
        {"save_all_exit_windows", save_all_exit_windows},
        {"about", ShowAbout},
        {"editor_help", ShowEditorHelp},
        {"document_preferences", RunDocumentPreferences},
        {"print", print_file},
        {"batch_help", batch_help},
    };
    for (const Pair& pair : kPairs) {
        SetCommandFunction(pair.name, pair.function);
    }
}

}  // namespace fvedit
