#include "editor/core/editor_strings.h"

#include <algorithm>
#include <iterator>

namespace {

struct StringEntry {
    UINT id;
    const char* text;
};

// Sorted by number.
constexpr StringEntry kStrings[] = {
    {IDS_TITLE, "Farvane Editor"},
    {IDS_DISK_FULL, "Disk full"},
    {IDS_OPEN_FILE, "Open File"},
    {IDS_INSERT_FILE, "Insert File"},
    {IDS_SAVE_AS, "Save As"},
    {IDS_WRITE_BLOCK, "Write Block"},
    {IDS_AUTOSAVE_EXTENSION, ".sav"},
    {IDS_AUTOSAVE_CREATE_ERROR, "Error creating autosave file"},
    {IDS_AUTOSAVE_HEADER, "/* AUTOSAVE %s %s */"},
    {IDS_AUTOSAVE_UNTITLED, "UNTITLED"},
    {IDS_CREATE_OUTPUT_ERROR, "Error creating output file"},
    {IDS_CLOSE_OUTPUT_ERROR, "Error closing output file"},
    {IDS_AUTOSAVING, "Autosaving..."},
    {IDS_BACKUP_EXTENSION, ".bak"},
    {IDS_TEMP_EXTENSION, ".tmp"},
    {IDS_NOT_MODIFIED, "Buffer not modified"},
    {IDS_WRITING, "Writing %s"},
    {IDS_SAVE_FAILED, "Save failed"},
    {IDS_WRITE_FAILED, "Write failed"},
    {IDS_BACKUP_RENAME_ERROR, "Error renaming backup file"},
    {IDS_LOCK_ERROR, "Unable to lock file"},
    {IDS_TEMP_RENAME_ERROR, "Error renaming temporary file"},
    {IDS_REPLACE_EXISTING, "Replace existing %s?"},
    {IDS_BACKUPS_ON, "Backup files will be created"},
    {IDS_BACKUPS_OFF, "Backup files will not be created"},
    {IDS_READ_ERROR, "Error reading file"},
    {IDS_CLOSE_INPUT_ERROR, "Error closing input file"},
    {IDS_CANT_OPEN, "Can't open %s"},
    {IDS_ABANDON_CHANGES, "Abandon changes to %s?"},
    {IDS_COMMAND_CANCELLED, "Command cancelled"},
    {IDS_NOTHING_TO_UNDO, "Nothing left to undo"},
    {IDS_UNTITLED, "Untitled-%d"},
    {IDS_SAVE_BEFORE_CLOSING, " has been changed.  Save before closing?"},
    {IDS_PATTERN_NOT_FOUND, "Pattern not found"},
    {IDS_NO_PATTERN, "No pattern specified"},
    {IDS_STATUS_POSITION, " Line %lu Col %u"},
    {IDS_STATUS_MODIFIED, " modified"},
    {IDS_STATUS_WRAP, "WRAP "},
    {IDS_STATUS_NO_WRAP, "     "},
    {IDS_STATUS_OVERWRITE, "OVR "},
    {IDS_STATUS_INSERT, "    "},
    {IDS_STATUS_RECORDING, "REC"},
    {IDS_BLOCK_TOO_BIG, "Block too big"},
    {IDS_NO_BLOCK_MARKED, "No block marked"},
    {IDS_WORD_CHARACTERS, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_"},
    {IDS_CONFIRM_ONE, "Replace this occurrence?"},
    {IDS_CONFIRM_ALL, "Replace all?"},
    {IDS_OCCURRENCE_CHANGED, "%d occurrence changed"},
    {IDS_OCCURRENCES_CHANGED, "%d occurrences changed"},
    {IDS_NO_MORE_OCCURRENCES, "No more occurrences"},
    {IDS_SCRIPT_BUILDER_TITLE, "Farvane Editor"},
    {IDS_UNABLE_TO_OPEN, "Unable to open %s"},
    {IDS_WINDOW_NUMBER, ":%d"},
    {IDS_INVALID_LINE_NUMBER, "Invalid line number"},
    {IDS_INVALID_FILE_NAME, "Invalid file name"},
    {IDS_NOT_TEXT_FILE, "%s is not a text file."},
    {IDS_INSUFFICIENT_MEMORY, "Insufficient memory"},
    {IDS_LINE_TOO_LONG, "Line too long"},
    {IDS_FILE_LINE_TOO_LONG, "%s has a line longer than 65535 characters."},
    {IDS_BAD_PATTERN, "Invalid regular expression"},
};

}  // namespace

const char* EditorString(UINT id) {
    auto found =
        std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                         [](const StringEntry& entry, UINT key) { return entry.id < key; });
    if (found == std::end(kStrings) || found->id != id) {
        return "";
    }
    return found->text;
}
