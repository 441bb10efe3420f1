#include "editor/core/recent_files.h"

#include <cstdio>
#include <cstring>

char recentFiles[RECENT_FILE_COUNT][RECENT_FILE_SIZE];

void AddToRecentFiles(const char* path) {
    if (path == nullptr || path[0] == '\0' || std::strlen(path) >= RECENT_FILE_SIZE) {
        return;
    }
    int found = RECENT_FILE_COUNT - 1;
    for (int i = 0; i < RECENT_FILE_COUNT; ++i) {
        if (recentFiles[i][0] != '\0' && std::strcmp(recentFiles[i], path) == 0) {
            found = i;
            break;
        }
    }
    for (int i = found; i > 0; --i) {
        std::memcpy(recentFiles[i], recentFiles[i - 1], RECENT_FILE_SIZE);
    }
    std::snprintf(recentFiles[0], RECENT_FILE_SIZE, "%s", path);
}

int RecentFileMenuText(int index, char* text, std::size_t size) {
    if (index < 0 || index >= RECENT_FILE_COUNT || recentFiles[index][0] == '\0') {
        return 0;
    }
    std::snprintf(text, size, "&%d %s", index + 1, recentFiles[index]);
    return 1;
}
