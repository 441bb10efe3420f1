// Command ids of the editor's menus; key-assigned functions use 2000-2999 (key_table.h).
#pragma once

#include "platform/kernel/win_types.h"

namespace fvedit {

enum MenuId : UINT {
    IDM_NEW = 100,
    IDM_OPEN = 101,
    IDM_CLOSE = 102,
    IDM_SAVE = 103,
    IDM_SAVE_AS = 104,
    IDM_SAVE_ALL = 105,
    IDM_INSERT = 106,
    IDM_REVERT = 107,
    IDM_WRITE_BLOCK = 108,
    IDM_PRINTER_SETUP = 109,
    IDM_PAGE_SETUP = 110,
    IDM_PRINT = 111,
    IDM_COMPARE = 112,
    IDM_EXIT = 114,
    IDM_RECENT_1 = 115,
    IDM_RECENT_4 = 118,
    IDM_UNDO = 120,
    IDM_CUT = 121,
    IDM_COPY = 122,
    IDM_PASTE = 123,
    IDM_DELETE = 124,
    IDM_SELECT_ALL = 125,
    IDM_STAMP = 126,
    IDM_WORD_WRAP = 127,
    IDM_WRAP_PARAGRAPH = 128,
    IDM_FIND = 160,
    IDM_FIND_AGAIN = 161,
    IDM_FIND_FILES = 162,
    IDM_LIST_FOUND_FILES = 163,
    IDM_REPLACE = 164,
    IDM_GOTO_LINE = 165,
    IDM_RECORD_MACRO = 180,
    IDM_PLAY_MACRO = 181,
    IDM_DOCUMENT_PREFERENCES = 200,
    IDM_EDITOR_PREFERENCES = 203,
    IDM_KEY_ASSIGNMENTS = 204,
    IDM_REFERENCE = 211,
    IDM_NEW_WINDOW = 220,
    IDM_CASCADE = 221,
    IDM_TILE = 222,
    IDM_ARRANGE_ICONS = 223,
    IDM_NEXT_WINDOW = 224,
    IDM_RESTORE = 225,
    IDM_MAXIMIZE = 226,
    IDM_HELP_CONTENTS = 236,
    IDM_HELP_KEYBOARD = 238,
    IDM_HELP_SEARCH = 239,
    IDM_ABOUT = 240,
};

// Help contexts of the three help items.
inline constexpr DWORD HELP_CONTENTS_CONTEXT = 26000;
inline constexpr DWORD HELP_KEYBOARD_CONTEXT = 26045;
inline constexpr DWORD HELP_SEARCH_CONTEXT = 26044;
// String resource of the all-minimised menu's item.
inline constexpr UINT IDS_ARRANGE_ICONS = 150;

}  // namespace fvedit
