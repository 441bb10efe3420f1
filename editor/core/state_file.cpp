#include "editor/core/state_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "editor/core/command_state.h"
#include "editor/core/edit_window.h"
#include "editor/core/editor_paths.h"
#include "editor/core/file_io.h"
#include "editor/core/history_lists.h"
#include "editor/core/recent_files.h"
#include "editor/core/search.h"
#include "editor/core/state_records.h"
#include "platform/kernel/profile.h"
#include "platform/kernel/replace_file.h"

namespace {

char userId[USER_ID_SIZE];
bool userIdRead = false;

// Offsets in the configuration block.
enum ConfigOffset : std::size_t {
    CFG_TAB_SIZE = 0,
    CFG_EXPAND_TABS = 4,
    CFG_AUTO_INDENT = 8,
    CFG_WORD_WRAP = 12,
    CFG_RIGHT_MARGIN = 16,
    CFG_KEY_FILE = 20,
    CFG_TRAILING_SPACES = 148,
    CFG_BACKUPS = 152,
    CFG_AUTOSAVE_INTERVAL = 156,
    CFG_AUTOSAVE_CHANGES = 160,
    CFG_FILE_LOCKING = 164,
    CFG_SCREEN_FONT = 168,
    CFG_CURSOR = 172,
    CFG_BLINKING = 176,
    CFG_TYPING_REPLACES = 180,
    CFG_CUT_COPY_LINE = 184,
    CFG_RESTORE_SESSION = 188,
    CFG_UNDO_LEVELS = 192,
    CFG_KEYBOARD_MODE = 196,
    CFG_FRAME_X = 200,
    CFG_FRAME_Y = 204,
    CFG_FRAME_WIDTH = 208,
    CFG_FRAME_HEIGHT = 212,
    CFG_FRAME_MAXIMIZED = 216,
    CFG_DOCUMENTS_MAXIMIZED = 220,
    CFG_PRINT_HEADER = 228,
    CFG_PRINT_FOOTER = 356,
    CFG_MARGINS = 484,
    CFG_PRINTER_FACE = 500,
    CFG_PRINTER_SIZE = 532,
    CFG_SEARCH_CASE = 536,
    CFG_SEARCH_REGEX = 540,
    CFG_SEARCH_BACKWARDS = 544,
    CFG_FIND_FILES_CASE = 548,
    CFG_FIND_FILES_REGEX = 552,
    CFG_RECENT_FILES = 556,
};

// The header's fields.
enum HeaderOffset : std::size_t {
    HDR_SIZE = 0,
    HDR_CONFIG_OFFSET = 132,
    HDR_CONFIG_SIZE = 136,
    HDR_HISTORY_OFFSET = 140,
    HDR_HISTORY_SIZE = 144,
    HDR_RECORDS_OFFSET = 148,
    HDR_RECORD_SIZE = 152,
};

void PutInt(unsigned char* block, std::size_t offset, long value) {
    PutLe32(block + offset, static_cast<std::uint32_t>(value));
}

int GetInt(const unsigned char* block, std::size_t offset) {
    return GetLe32Signed(block + offset);
}

int IntInRange(const unsigned char* block, std::size_t offset, int low, int high, int fallback) {
    int value = GetInt(block, offset);
    return value >= low && value <= high ? value : fallback;
}

void EncodeHeader(unsigned char* header) {
    PutLe32(header + HDR_SIZE, STATE_HEADER_SIZE);
    PutLe16(header + HDR_CONFIG_OFFSET, STATE_CONFIG_OFFSET);
    PutLe32(header + HDR_CONFIG_SIZE, STATE_CONFIG_SIZE);
    PutLe16(header + HDR_HISTORY_OFFSET, STATE_HISTORY_OFFSET);
    PutLe32(header + HDR_HISTORY_SIZE, HISTORY_LIST_BYTES);
    PutLe16(header + HDR_RECORDS_OFFSET, STATE_RECORDS_OFFSET);
    PutLe32(header + HDR_RECORD_SIZE, STATE_RECORD_SIZE);
}

HistoryList& SavedHistory(int position) {
    return historyLists[kSavedHistoryOrder[position]];
}

// The live search state takes the saved switches and the most recent pattern.
void RestoreSearchState() {
    searchState.matchCase = editorSettings.searchMatchCase;
    searchState.regularExpression = editorSettings.searchRegularExpression;
    searchState.backward = editorSettings.searchBackwards;
    std::snprintf(searchState.pattern, sizeof searchState.pattern, "%s",
                  HistoryEntry(historyLists[HIST_SEARCH], 0));
}

// The saved switches take the live search state.
void KeepSearchState() {
    editorSettings.searchMatchCase = searchState.matchCase ? 1 : 0;
    editorSettings.searchRegularExpression = searchState.regularExpression ? 1 : 0;
    editorSettings.searchBackwards = searchState.backward ? 1 : 0;
}

void ReadUserId() {
    char value[64];
    GetPrivateProfileStringA("Farvane", "UserID", "", value, sizeof value, "FARV.INI");
    SetEditorUserId(value);
}

}  // namespace

const char* EditorUserId() {
    if (!userIdRead) {
        ReadUserId();
    }
    return userId;
}

void SetEditorUserId(const char* id) {
    if (id == nullptr) {
        userIdRead = false;
        return;
    }
    std::size_t length = strnlen(id, USER_ID_SIZE - 1);
    for (std::size_t i = 0; i < length; ++i) {
        char c = id[i];
        bool unsafe = c == '/' || c == '\\' || (i == 0 && c == '.');
        userId[i] = unsafe ? '_' : c;
    }
    userId[length] = '\0';
    userIdRead = true;
}

int StateFileName(char* path, std::size_t size) {
    const char* folder = StateFolder();
    if (folder[0] == '\0') {
        return 0;
    }
    int n = std::snprintf(path, size, "%s/FV%s.EDT", folder, EditorUserId());
    return n > 0 && static_cast<std::size_t>(n) < size;
}

void DefaultKeyFileName(char* path, std::size_t size) {
    const char* folder = StateFolder();
    int n = std::snprintf(path, size, "%s/DEFAULT.KEY", folder);
    if (folder[0] == '\0' || n < 0 || static_cast<std::size_t>(n) >= size) {
        path[0] = '\0';
    }
}

void ResetEditorSettings() {
    editorSettings = EditorSettings{};
    DefaultKeyFileName(editorSettings.keyFileName, sizeof editorSettings.keyFileName);
    std::memset(recentFiles, 0, sizeof recentFiles);
}

void EncodeConfiguration(const EditorSettings& settings, unsigned char* block) {
    std::memset(block, 0, STATE_CONFIG_SIZE);
    PutInt(block, CFG_TAB_SIZE, settings.tabSize);
    PutInt(block, CFG_EXPAND_TABS, settings.expandTabs);
    PutInt(block, CFG_AUTO_INDENT, settings.autoIndent);
    PutInt(block, CFG_WORD_WRAP, settings.wordWrap);
    PutInt(block, CFG_RIGHT_MARGIN, settings.rightMargin);
    PutText(block + CFG_KEY_FILE, KEY_FILE_NAME_SIZE, settings.keyFileName);
    PutInt(block, CFG_TRAILING_SPACES, settings.removeTrailingSpaces);
    PutInt(block, CFG_BACKUPS, settings.makeBackups);
    PutInt(block, CFG_AUTOSAVE_INTERVAL, settings.autosaveInterval);
    PutInt(block, CFG_AUTOSAVE_CHANGES, settings.autosaveChanges);
    PutInt(block, CFG_FILE_LOCKING, settings.fileLocking);
    PutInt(block, CFG_SCREEN_FONT, settings.screenFont);
    PutInt(block, CFG_CURSOR, settings.cursorShape);
    PutInt(block, CFG_BLINKING, settings.blinkingCursor);
    PutInt(block, CFG_TYPING_REPLACES, settings.typingReplacesSelection);
    PutInt(block, CFG_CUT_COPY_LINE, settings.cutCopyCurrentLine);
    PutInt(block, CFG_RESTORE_SESSION, settings.restoreSession);
    PutInt(block, CFG_UNDO_LEVELS, settings.undoLevels);
    PutInt(block, CFG_KEYBOARD_MODE, settings.keyboardMode);
    PutInt(block, CFG_FRAME_X, settings.frameX);
    PutInt(block, CFG_FRAME_Y, settings.frameY);
    PutInt(block, CFG_FRAME_WIDTH, settings.frameWidth);
    PutInt(block, CFG_FRAME_HEIGHT, settings.frameHeight);
    PutInt(block, CFG_FRAME_MAXIMIZED, settings.frameMaximized);
    PutInt(block, CFG_DOCUMENTS_MAXIMIZED, settings.documentsMaximized);
    PutText(block + CFG_PRINT_HEADER, PRINT_TEMPLATE_SIZE, settings.printHeader);
    PutText(block + CFG_PRINT_FOOTER, PRINT_TEMPLATE_SIZE, settings.printFooter);
    PutInt(block, CFG_MARGINS, settings.marginLeft);
    PutInt(block, CFG_MARGINS + 4, settings.marginRight);
    PutInt(block, CFG_MARGINS + 8, settings.marginTop);
    PutInt(block, CFG_MARGINS + 12, settings.marginBottom);
    PutText(block + CFG_PRINTER_FACE, PRINTER_FACE_SIZE, settings.printerFontFace);
    PutInt(block, CFG_PRINTER_SIZE, settings.printerFontSize);
    PutInt(block, CFG_SEARCH_CASE, settings.searchMatchCase);
    PutInt(block, CFG_SEARCH_REGEX, settings.searchRegularExpression);
    PutInt(block, CFG_SEARCH_BACKWARDS, settings.searchBackwards);
    PutInt(block, CFG_FIND_FILES_CASE, settings.findFilesMatchCase);
    PutInt(block, CFG_FIND_FILES_REGEX, settings.findFilesRegularExpression);
    for (int i = 0; i < RECENT_FILE_COUNT; ++i) {
        PutText(block + CFG_RECENT_FILES + i * RECENT_FILE_SIZE, RECENT_FILE_SIZE, recentFiles[i]);
    }
}

void DecodeConfiguration(const unsigned char* block, EditorSettings& settings) {
    const EditorSettings defaults;
    settings.tabSize = IntInRange(block, CFG_TAB_SIZE, 1, 16, defaults.tabSize);
    settings.expandTabs = GetInt(block, CFG_EXPAND_TABS) != 0;
    settings.autoIndent = GetInt(block, CFG_AUTO_INDENT) != 0;
    settings.wordWrap = GetInt(block, CFG_WORD_WRAP) != 0;
    settings.rightMargin = IntInRange(block, CFG_RIGHT_MARGIN, 32, 512, defaults.rightMargin);
    GetText(block + CFG_KEY_FILE, KEY_FILE_NAME_SIZE, settings.keyFileName);
    settings.removeTrailingSpaces = GetInt(block, CFG_TRAILING_SPACES) != 0;
    settings.makeBackups = GetInt(block, CFG_BACKUPS) != 0;
    settings.autosaveInterval = GetLe32(block + CFG_AUTOSAVE_INTERVAL);
    settings.autosaveChanges = GetLe32(block + CFG_AUTOSAVE_CHANGES);
    settings.fileLocking = GetInt(block, CFG_FILE_LOCKING) != 0;
    settings.screenFont = IntInRange(block, CFG_SCREEN_FONT, 0, 2, defaults.screenFont);
    settings.cursorShape = IntInRange(block, CFG_CURSOR, 0, 2, defaults.cursorShape);
    settings.blinkingCursor = GetInt(block, CFG_BLINKING) != 0;
    settings.typingReplacesSelection = GetInt(block, CFG_TYPING_REPLACES) != 0;
    settings.cutCopyCurrentLine = GetInt(block, CFG_CUT_COPY_LINE) != 0;
    settings.restoreSession = GetInt(block, CFG_RESTORE_SESSION) != 0;
    settings.undoLevels = IntInRange(block, CFG_UNDO_LEVELS, 0, 300, defaults.undoLevels);
    settings.keyboardMode = GetInt(block, CFG_KEYBOARD_MODE) != 0;
    settings.frameX = GetInt(block, CFG_FRAME_X);
    settings.frameY = GetInt(block, CFG_FRAME_Y);
    settings.frameWidth = GetInt(block, CFG_FRAME_WIDTH);
    settings.frameHeight = GetInt(block, CFG_FRAME_HEIGHT);
    settings.frameMaximized = GetInt(block, CFG_FRAME_MAXIMIZED) != 0;
    settings.documentsMaximized = GetInt(block, CFG_DOCUMENTS_MAXIMIZED) != 0;
    GetText(block + CFG_PRINT_HEADER, PRINT_TEMPLATE_SIZE, settings.printHeader);
    GetText(block + CFG_PRINT_FOOTER, PRINT_TEMPLATE_SIZE, settings.printFooter);
    settings.marginLeft = GetInt(block, CFG_MARGINS);
    settings.marginRight = GetInt(block, CFG_MARGINS + 4);
    settings.marginTop = GetInt(block, CFG_MARGINS + 8);
    settings.marginBottom = GetInt(block, CFG_MARGINS + 12);
    GetText(block + CFG_PRINTER_FACE, PRINTER_FACE_SIZE, settings.printerFontFace);
    settings.printerFontSize = GetInt(block, CFG_PRINTER_SIZE);
    settings.searchMatchCase = GetInt(block, CFG_SEARCH_CASE) != 0;
    settings.searchRegularExpression = GetInt(block, CFG_SEARCH_REGEX) != 0;
    settings.searchBackwards = GetInt(block, CFG_SEARCH_BACKWARDS) != 0;
    settings.findFilesMatchCase = GetInt(block, CFG_FIND_FILES_CASE) != 0;
    settings.findFilesRegularExpression = GetInt(block, CFG_FIND_FILES_REGEX) != 0;
    for (int i = 0; i < RECENT_FILE_COUNT; ++i) {
        GetText(block + CFG_RECENT_FILES + i * RECENT_FILE_SIZE, RECENT_FILE_SIZE, recentFiles[i]);
    }
}

std::vector<unsigned char> BuildStateImage() {
    std::vector<unsigned char> image(STATE_RECORDS_OFFSET, 0);
    EncodeHeader(image.data());
    EncodeConfiguration(editorSettings, image.data() + STATE_CONFIG_OFFSET);
    for (int kind = 0; kind < HISTORY_LIST_COUNT; ++kind) {
        unsigned char* list = image.data() + STATE_HISTORY_OFFSET + kind * HISTORY_LIST_BYTES;
        for (int i = 0; i < HISTORY_ENTRIES; ++i) {
            PutText(list + i * HISTORY_ENTRY_SIZE, HISTORY_ENTRY_SIZE,
                    SavedHistory(kind).entries[i]);
        }
    }
    return image;
}

static void RestoreSettingsAndHistories() {
    ResetEditorSettings();
    ClearHistories();
    char path[PATH_NAME_SIZE];
    int descriptor = StateFileName(path, sizeof path) ? open(path, O_RDONLY | O_CLOEXEC) : -1;
    if (descriptor < 0) {
        RestoreSearchState();
        return;
    }
    unsigned char header[STATE_HEADER_SIZE];
    unsigned char block[STATE_CONFIG_SIZE];
    bool configured =
        ReadAll(descriptor, header, sizeof header) == static_cast<ssize_t>(sizeof header) &&
        GetLe32(header + HDR_CONFIG_SIZE) == STATE_CONFIG_SIZE &&
        lseek(descriptor, STATE_CONFIG_OFFSET, SEEK_SET) >= 0 &&
        ReadAll(descriptor, block, sizeof block) == static_cast<ssize_t>(sizeof block);
    if (!configured) {
        close(descriptor);
        return;
    }
    DecodeConfiguration(block, editorSettings);
    bool complete = lseek(descriptor, STATE_HISTORY_OFFSET, SEEK_SET) >= 0;
    unsigned char list[HISTORY_LIST_BYTES];
    for (int kind = 0; complete && kind < HISTORY_LIST_COUNT; ++kind) {
        if (ReadAll(descriptor, list, sizeof list) != static_cast<ssize_t>(sizeof list)) {
            complete = false;
            break;
        }
        for (int i = 0; i < HISTORY_ENTRIES; ++i) {
            GetText(list + i * HISTORY_ENTRY_SIZE, HISTORY_ENTRY_SIZE,
                    SavedHistory(kind).entries[i]);
        }
    }
    close(descriptor);
    if (complete) {
        RestoreSearchState();
    }
}

void ApplySettingsToCommands() {
    fTypingReplacesSelection = editorSettings.typingReplacesSelection;
    fCutCopyCurrentLine = editorSettings.cutCopyCurrentLine;
}

void RestoreDefaults() {
    RestoreSettingsAndHistories();
    ApplySettingsToCommands();
}

int SaveEditorState() {
    if (editorMode == EditorMode::Print) {
        return 0;
    }
    char path[PATH_NAME_SIZE];
    if (!StateFileName(path, sizeof path)) {
        return 0;
    }
    KeepSearchState();
    std::vector<unsigned char> image = BuildStateImage();
    if (editorSettings.restoreSession) {
        AppendOpenFileRecords(image);
    }
    auto writeImage = [&](int descriptor) {
        return WriteAll(descriptor, image.data(), image.size()) == image.size();
    };
    return ReplaceFileContent(path, writeImage, {0600});
}

int RestoreFiles() {
    char path[PATH_NAME_SIZE];
    int descriptor = StateFileName(path, sizeof path) ? open(path, O_RDONLY | O_CLOEXEC) : -1;
    if (descriptor < 0) {
        return 0;
    }
    unsigned char header[STATE_HEADER_SIZE];
    bool valid =
        ReadAll(descriptor, header, sizeof header) == static_cast<ssize_t>(sizeof header) &&
        GetLe32(header + HDR_RECORD_SIZE) == STATE_RECORD_SIZE &&
        lseek(descriptor, GetLe16(header + HDR_RECORDS_OFFSET), SEEK_SET) >= 0;
    if (!valid) {
        close(descriptor);
        return 0;
    }
    std::vector<OpenFileRecord> records;
    unsigned char bytes[STATE_RECORD_SIZE];
    while (ReadAll(descriptor, bytes, sizeof bytes) == static_cast<ssize_t>(sizeof bytes)) {
        records.push_back(DecodeOpenFileRecord(bytes));
    }
    close(descriptor);
    ReopenDocuments(records);
    return 1;
}
