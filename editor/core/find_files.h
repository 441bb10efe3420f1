// Find Files Containing and List Found Files: the search over the files of wildcard
// file masks, the table of files found and the opening of them one at a time with the
// pattern set up for the next search.
#pragma once

#include <string>
#include <vector>

#include "editor/core/file_tools_ui.h"

// The table keeps this many files; more are counted but not kept.
inline constexpr int FOUND_FILE_LIMIT = 128;

// One found file. The path is kept whole as found (any length, its case unchanged), so that
// every entry can be opened again.
struct FoundFile {
    std::string path;
    BOOL opened;
};

struct FindFilesState {
    char pattern[FILE_TOOLS_TEXT_SIZE];
    char fileMasks[FILE_TOOLS_TEXT_SIZE];
    BOOL matchCase;
    BOOL regularExpression;
    bool patternGiven;  // a search was made since the editor started
    std::vector<FoundFile> table;
    int foundCount;  // may exceed FOUND_FILE_LIMIT
    int openedCount;
    bool stop;  // set by the status window's Cancel
};

extern FindFilesState findFilesState;

void find_files_containing();
void list_files_containing();

// Searches the file masks for the pattern (as after the dialog's OK) and fills the table.
// Returns 1 when the search ran (also when stopped), 0 for an empty or invalid pattern.
int FindFilesContaining(const char* pattern, const char* fileMasks, BOOL matchCase,
                        BOOL regularExpression);
// The status window's Cancel: the search ends after the file it is reading.
void StopFindFiles();
// Restores the state of a fresh editor (tests).
void ResetFindFiles();
