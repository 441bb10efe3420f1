// The history lists beyond search and replacement, the order in which the saved state keeps
// all seven, and the read-side operations the dialogs use (entry by index, combo box items).
#pragma once

#include <string>
#include <vector>

#include "editor/core/history.h"

inline constexpr int HISTORY_LIST_PRINT_HEADER = 2;
inline constexpr int HISTORY_LIST_PRINT_FOOTER = 3;
inline constexpr int HISTORY_LIST_FIND_FILES = 4;
inline constexpr int HISTORY_LIST_COMPARE_FILE1 = 5;
inline constexpr int HISTORY_LIST_COMPARE_FILE2 = 6;
inline constexpr std::size_t HISTORY_LIST_BYTES = HISTORY_ENTRIES * HISTORY_ENTRY_SIZE;

// The lists in the order of the saved state: print headers, print footers, search patterns,
// replacement texts, find-files file masks, compare file 1, compare file 2.
inline constexpr int kSavedHistoryOrder[HISTORY_LIST_COUNT] = {
    HISTORY_LIST_PRINT_HEADER, HISTORY_LIST_PRINT_FOOTER, HIST_SEARCH,
    HIST_REPLACEMENT,          HISTORY_LIST_FIND_FILES,   HISTORY_LIST_COMPARE_FILE1,
    HISTORY_LIST_COMPARE_FILE2};

// Entry index (0 the most recent), or "" out of range.
const char* HistoryEntry(const HistoryList& list, int index);
// The non-empty entries in order: what a combo box filled from the list shows.
std::vector<std::string> HistoryComboItems(const HistoryList& list);
