// The editor's history lists: the texts last entered in its dialogs, most recent first. Find
// and Replace use the search and replacement lists; the other lists belong to the dialogs of
// file comparison, find in files and printing. The saved state stores all of them.
#pragma once

#include <cstddef>

inline constexpr int HISTORY_LIST_COUNT = 7;
inline constexpr int HISTORY_ENTRIES = 10;
inline constexpr std::size_t HISTORY_ENTRY_SIZE = 128;  // up to 127 characters and a NUL

enum HistoryListId {
    HIST_SEARCH = 0,       // search patterns (Find, Replace, Find Files Containing)
    HIST_REPLACEMENT = 1,  // replacement texts
    // 2 to 6: the lists of the other dialogs.
};

struct HistoryList {
    char entries[HISTORY_ENTRIES][HISTORY_ENTRY_SIZE];  // an empty entry is unused
};

extern HistoryList historyLists[HISTORY_LIST_COUNT];

// Puts text first: equal to the first entry, nothing changes; equal to a later entry, that
// entry moves to the front; otherwise the tenth is dropped. Longer texts are cut to 127
// characters; an empty text is not recorded.
void AddToHistory(HistoryList& list, const char* text);
// Number of used entries (they are kept at the front).
int HistoryCount(const HistoryList& list);
// Empties every list.
void ClearHistories();
