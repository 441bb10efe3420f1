// The menu commands of a document window (and those of the frame without documents).
#include "editor/core/block_ops.h"
#include "editor/core/command_table.h"
#include "editor/core/documents.h"
#include "editor/core/file_save.h"
#include "editor/core/recent_files.h"
#include "editor/core/ui_services.h"
#include "editor/ui/editor_dialogs.h"
#include "editor/ui/menu_ids.h"
#include "editor/ui/print_dialogs.h"
#include "editor/ui/script_builder.h"
#include "editor/ui/window_commands.h"
#include "editor/ui/window_procedures.h"

namespace fvedit {

namespace {

struct NamedMenuCommand {
    UINT id;
    const char* command;
};

// Menu items that run a command of the command table.
constexpr NamedMenuCommand kNamed[] = {
    {IDM_NEW, "new_file"},
    {IDM_OPEN, "open_file"},
    {IDM_SAVE, "save_file"},
    {IDM_SAVE_ALL, "save_all"},
    {IDM_REVERT, "revert"},
    {IDM_PRINT, "print"},
    {IDM_COMPARE, "compare"},
    {IDM_UNDO, "undo"},
    {IDM_CUT, "cut"},
    {IDM_COPY, "copy"},
    {IDM_PASTE, "paste"},
    {IDM_SELECT_ALL, "select_all"},
    {IDM_STAMP, "stamp"},
    {IDM_WORD_WRAP, "toggle_wordwrap"},
    {IDM_WRAP_PARAGRAPH, "wrap_para"},
    {IDM_FIND, "find"},
    {IDM_FIND_AGAIN, "find_again"},
    {IDM_FIND_FILES, "find_files_containing"},
    {IDM_LIST_FOUND_FILES, "list_files_containing"},
    {IDM_REPLACE, "replace"},
    {IDM_GOTO_LINE, "goto_line"},
    {IDM_RECORD_MACRO, "record_macro"},
    {IDM_PLAY_MACRO, "play_macro"},
    {IDM_NEW_WINDOW, "new_window"},
    {IDM_CASCADE, "cascade"},
    {IDM_TILE, "tile"},
    {IDM_NEXT_WINDOW, "next_window"},
    {IDM_RESTORE, "restore_window"},
    {IDM_MAXIMIZE, "zoom_window"},
    {IDM_CLOSE, "close_window"},
    {IDM_EXIT, "exit"},
};

bool RunNamed(UINT id) {
    for (const NamedMenuCommand& entry : kNamed) {
        if (entry.id == id) {
            RunCommand(FindCommandByName(entry.command));
            return true;
        }
    }
    return false;
}

}  // namespace

void DocumentMenuCommand(UINT id) {
    if (RunNamed(id)) {
        return;
    }
    if (id >= IDM_RECENT_1 && id <= IDM_RECENT_4) {
        const char* path = recentFiles[id - IDM_RECENT_1];
        if (path[0] != '\0') {
            OpenDocument(path, 0, 0, true);
        }
        return;
    }
    switch (id) {
        case IDM_SAVE_AS:
            if (pwinCurrent != nullptr) {
                SaveAs(pwinCurrent);
            }
            break;
        case IDM_INSERT:
            insert_file();
            break;
        case IDM_WRITE_BLOCK:
            write_block();
            break;
        case IDM_DELETE:
            DeleteMarkedBlock();
            break;
        case IDM_DOCUMENT_PREFERENCES:
            RunDocumentPreferences();
            break;
        case IDM_EDITOR_PREFERENCES:
            RunEditorPreferences();
            break;
        case IDM_KEY_ASSIGNMENTS:
            RunKeyAssignments();
            break;
        case IDM_ARRANGE_ICONS:
            arrange_icons();
            break;
        case IDM_HELP_CONTENTS:
            ShowHelpContext(HELP_CONTENTS_CONTEXT);
            break;
        case IDM_HELP_KEYBOARD:
            ShowHelpContext(HELP_KEYBOARD_CONTEXT);
            break;
        case IDM_HELP_SEARCH:
            ShowHelpContext(HELP_SEARCH_CONTEXT);
            break;
        case IDM_ABOUT:
            ShowAbout();
            break;
        case IDM_PAGE_SETUP:
            page_setup();
            break;
        case IDM_PRINTER_SETUP:
            printer_setup();
            break;
        case IDM_REFERENCE:
            batch_help();
            break;
        default:
            Ui().Beep();
            break;
    }
}

}  // namespace fvedit
