#include "editor/core/find_files.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "editor/core/documents.h"
#include "editor/core/editor_settings.h"
#include "editor/core/editor_strings.h"
#include "editor/core/file_compare.h"
#include "editor/core/file_content_search.h"
#include "editor/core/find_replace.h"
#include "editor/core/history_lists.h"
#include "editor/core/search.h"
#include "editor/core/user_messages.h"
#include "editor/core/wait_cursor.h"

FindFilesState findFilesState;

namespace {

constexpr const char* kFindCaption = "Find Files Containing";
constexpr const char* kListCaption = "List Found Files";
constexpr const char* kTableFull =
    "More than %d matching files were found; file list will be incomplete.";
constexpr const char* kAllOpened =
    "All files containing the specified pattern have already been opened.";

// Reports each file to the status window and keeps the ones found in the table.
class TableProgress : public FileSearchProgress {
public:
    void Searching(const std::string& path) override {
        FileTools().ShowSearchStatus(path.c_str(),
                                     lastFound_.empty() ? nullptr : lastFound_.c_str());
    }
    bool Found(const std::string& path) override {
        FindFilesState& s = findFilesState;
        if (static_cast<int>(s.table.size()) < FOUND_FILE_LIMIT) {
            s.table.push_back({path, 0});
        }
        ++s.foundCount;
        lastFound_ = path;
        FileTools().ShowSearchStatus(path.c_str(), lastFound_.c_str());
        return s.foundCount < FOUND_FILE_LIMIT;
    }
    bool Stopped() override {
        FileTools().ProcessPendingMessages();
        return findFilesState.stop;
    }

private:
    std::string lastFound_;
};

// Copies as much of from as fits, always terminated.
void Copy(char* to, std::size_t size, const char* from) {
    std::size_t length = from != nullptr ? strnlen(from, size - 1) : 0;
    std::memcpy(to, from != nullptr ? from : "", length);
    to[length] = '\0';
}

void PresetPattern(FindFilesDialogData& data) {
    char block[SEARCH_TEXT_SIZE];
    if (pwinCurrent != nullptr && SingleLineBlockText(block, 255)) {
        Copy(data.pattern, sizeof data.pattern, block);
        return;
    }
    if (searchState.pattern[0] == '\0') {
        Copy(searchState.pattern, sizeof searchState.pattern,
             HistoryEntry(historyLists[HIST_SEARCH], 0));
    }
    Copy(data.pattern, sizeof data.pattern, searchState.pattern);
}

void TellListResult(const char* text) {
    Ui().MessageBox(text, kListCaption, UiButtons::Ok, UiIcon::Warning, false);
}

// Opens the file (or brings its window to the top). Returns its window or null.
EditWindow* ShowFoundFile(const char* path) {
    if (EditWindow* window = WindowShowingPath(path)) {
        SetCurrentWindow(window);
        Ui().ActivateDocumentWindow(window);
        return window;
    }
    return OpenDocument(path, 0, 0, true) ? pwinCurrent : nullptr;
}

// The first occurrence of the pattern in the opened document, found as Find finds it.
void SearchFromTop() {
    EditWindow* window = pwinCurrent;
    window->marking = 0;
    window->dot = {window->buffer->lplnFirst, 0};
    window->mark = window->dot;
    window->redraw |= RD_REFRAME | RD_ALL;
    const FindFilesState& s = findFilesState;
    Copy(searchState.pattern, sizeof searchState.pattern, s.pattern);
    searchState.matchCase = s.matchCase;
    searchState.regularExpression = s.regularExpression;
    searchState.backward = 0;
    Search();
}

}  // namespace

void ResetFindFiles() {
    findFilesState = FindFilesState{};
}

void StopFindFiles() {
    findFilesState.stop = true;
}

int FindFilesContaining(const char* pattern, const char* fileMasks, BOOL matchCase,
                        BOOL regularExpression) {
    FindFilesState& s = findFilesState;
    Copy(s.pattern, sizeof s.pattern, pattern);
    Copy(s.fileMasks, sizeof s.fileMasks, fileMasks);
    s.matchCase = matchCase;
    s.regularExpression = regularExpression;
    if (s.pattern[0] == '\0') {
        StatusMessage(IDS_NO_PATTERN);
        return 0;
    }
    s.patternGiven = true;
    AddToHistory(historyLists[HIST_SEARCH], s.pattern);
    FileContentSearch search;
    if (!search.Prepare(s.pattern, matchCase != 0, regularExpression != 0)) {
        StatusMessage(IDS_BAD_PATTERN);
        return 0;
    }
    s.table.clear();
    s.table.reserve(FOUND_FILE_LIMIT);
    s.foundCount = 0;
    s.stop = false;
    {
        WaitCursor wait;
        FileTools().SetSearchBusy(true);
        TableProgress progress;
        SearchFileMasks(s.fileMasks, search, progress);
        FileTools().SetSearchBusy(false);
    }
    FileTools().CloseSearchStatus();
    s.openedCount = 0;
    if (s.foundCount >= FOUND_FILE_LIMIT) {
        char text[96];
        std::snprintf(text, sizeof text, kTableFull, FOUND_FILE_LIMIT);
        Ui().MessageBox(text, kFindCaption, UiButtons::Ok, UiIcon::Warning, false);
    }
    return 1;
}

void find_files_containing() {
    FileTools().CloseSearchStatus();
    FindFilesState& s = findFilesState;
    FindFilesDialogData data{};
    PresetPattern(data);
    Copy(data.fileMasks, sizeof data.fileMasks,
         s.fileMasks[0] != '\0' ? s.fileMasks
                                : HistoryEntry(historyLists[HISTORY_LIST_FIND_FILES], 0));
    data.patternHistory = &historyLists[HIST_SEARCH];
    data.fileMaskHistory = &historyLists[HISTORY_LIST_FIND_FILES];
    char directory[PATH_NAME_SIZE];
    data.currentDirectory = getcwd(directory, sizeof directory) != nullptr ? directory : "";
    data.matchCase = s.matchCase;
    data.regularExpression = s.regularExpression;
    data.oemFont = editorSettings.screenFont == FONT_OEM_FIXED;
    if (!FileTools().FindFilesDialog(data)) {
        return;
    }
    AddToHistory(historyLists[HISTORY_LIST_FIND_FILES], data.fileMasks);
    if (FindFilesContaining(data.pattern, data.fileMasks, data.matchCase, data.regularExpression)) {
        list_files_containing();
    }
}

void list_files_containing() {
    FindFilesState& s = findFilesState;
    if (!s.patternGiven) {
        TellListResult(EditorString(IDS_NO_PATTERN));
        return;
    }
    if (s.foundCount == 0) {
        TellListResult(EditorString(IDS_PATTERN_NOT_FOUND));
        return;
    }
    FileListDialogData data{s.pattern, s.fileMasks, {}, 0};
    std::vector<std::size_t> entries;
    for (std::size_t i = 0; i < s.table.size(); ++i) {
        if (!s.table[i].opened) {
            data.files.push_back(s.table[i].path);
            entries.push_back(i);
        }
    }
    if (data.files.empty()) {
        TellListResult(kAllOpened);
        return;
    }
    if (!FileTools().FileListDialog(data) || data.chosen < 0 ||
        data.chosen >= static_cast<int>(entries.size())) {
        return;
    }
    FoundFile& chosen = s.table[entries[static_cast<std::size_t>(data.chosen)]];
    if (ShowFoundFile(chosen.path.c_str()) == nullptr) {
        return;
    }
    chosen.opened = 1;
    ++s.openedCount;
    SearchFromTop();
}
