#include "editor/core/history_lists.h"

#include <cstring>

const char* HistoryEntry(const HistoryList& list, int index) {
    if (index < 0 || index >= HISTORY_ENTRIES) {
        return "";
    }
    return list.entries[index];
}

std::vector<std::string> HistoryComboItems(const HistoryList& list) {
    std::vector<std::string> items;
    for (const auto& entry : list.entries) {
        if (entry[0] != '\0') {
            items.emplace_back(entry, strnlen(entry, HISTORY_ENTRY_SIZE));
        }
    }
    return items;
}
