// The editor's string resources by number. Texts with a format take printf arguments.
#pragma once

#include "platform/kernel/win_types.h"

enum EditorStringId : UINT {
    IDS_TITLE = 1,
    IDS_DISK_FULL = 2,
    IDS_OPEN_FILE = 3,
    IDS_INSERT_FILE = 4,
    IDS_SAVE_AS = 5,
    IDS_WRITE_BLOCK = 6,
    IDS_AUTOSAVE_EXTENSION = 7,
    IDS_AUTOSAVE_CREATE_ERROR = 8,
    IDS_AUTOSAVE_HEADER = 9,
    IDS_AUTOSAVE_UNTITLED = 10,
    IDS_CREATE_OUTPUT_ERROR = 11,
    IDS_CLOSE_OUTPUT_ERROR = 12,
    IDS_AUTOSAVING = 13,
    IDS_BACKUP_EXTENSION = 14,
    IDS_TEMP_EXTENSION = 15,
    IDS_NOT_MODIFIED = 16,
    IDS_WRITING = 17,
    IDS_SAVE_FAILED = 18,
    IDS_WRITE_FAILED = 19,
    IDS_BACKUP_RENAME_ERROR = 20,
    IDS_LOCK_ERROR = 21,
    IDS_TEMP_RENAME_ERROR = 22,
    IDS_REPLACE_EXISTING = 24,
    IDS_BACKUPS_ON = 25,
    IDS_BACKUPS_OFF = 26,
    IDS_READ_ERROR = 27,
    IDS_CLOSE_INPUT_ERROR = 28,
    IDS_CANT_OPEN = 29,
    IDS_ABANDON_CHANGES = 30,
    IDS_COMMAND_CANCELLED = 31,
    IDS_NOTHING_TO_UNDO = 32,
    IDS_UNTITLED = 35,
    IDS_SAVE_BEFORE_CLOSING = 36,
    IDS_BLOCK_TOO_BIG = 52,
    IDS_NO_BLOCK_MARKED = 53,
    IDS_SCRIPT_BUILDER_TITLE = 87,
    IDS_UNABLE_TO_OPEN = 91,
    IDS_WINDOW_NUMBER = 92,
    IDS_INVALID_FILE_NAME = 129,
    IDS_NOT_TEXT_FILE = 147,
    // Texts of this implementation.
    IDS_INSUFFICIENT_MEMORY = 1000,
    IDS_LINE_TOO_LONG = 1001,
    IDS_FILE_LINE_TOO_LONG = 1002,
};

// The text of a string resource; an empty string for an unknown number.
const char* EditorString(UINT id);
