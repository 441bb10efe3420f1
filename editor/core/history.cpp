#include "editor/core/history.h"

#include <cstring>

HistoryList historyLists[HISTORY_LIST_COUNT];

void AddToHistory(HistoryList& list, const char* text) {
    if (text == nullptr || text[0] == '\0') {
        return;
    }
    char entry[HISTORY_ENTRY_SIZE] = {};
    std::strncpy(entry, text, HISTORY_ENTRY_SIZE - 1);
    if (std::strcmp(list.entries[0], entry) == 0) {
        return;
    }
    int found = HISTORY_ENTRIES - 1;
    for (int i = 1; i < HISTORY_ENTRIES; ++i) {
        if (std::strcmp(list.entries[i], entry) == 0) {
            found = i;
            break;
        }
    }
    std::memmove(list.entries[1], list.entries[0], found * HISTORY_ENTRY_SIZE);
    std::memcpy(list.entries[0], entry, HISTORY_ENTRY_SIZE);
}

int HistoryCount(const HistoryList& list) {
    int count = 0;
    while (count < HISTORY_ENTRIES && list.entries[count][0] != '\0') {
        ++count;
    }
    return count;
}

void ClearHistories() {
    std::memset(historyLists, 0, sizeof historyLists);
}
