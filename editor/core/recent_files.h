// The recently used files shown at the end of the File menu, most recent first.
#pragma once

#include <cstddef>

inline constexpr int RECENT_FILE_COUNT = 4;
inline constexpr std::size_t RECENT_FILE_SIZE = 80;
inline constexpr int IDM_RECENT_FIRST = 115;

// Entries of RECENT_FILE_SIZE characters; an empty entry is unused. Saved with the state.
extern char recentFiles[RECENT_FILE_COUNT][RECENT_FILE_SIZE];

// Puts the path first, moving an equal entry up or dropping the oldest. A path that does not
// fit an entry is not recorded: a shortened one would name another file.
void AddToRecentFiles(const char* path);
// The menu text of entry index (0-based): "&%d %s". Returns 0 for an unused entry.
int RecentFileMenuText(int index, char* text, std::size_t size);
