#include "editor/core/command_reference.h"

#include <cctype>
#include <climits>
#include <cstring>

namespace {

// Reads the optional assistant number after '#'; p moves past it and its line break.
int ReadAssistantNumber(const char*& p) {
    const char* start = p;
    bool negative = *p == '-';
    if (negative) {
        ++p;
    }
    if (!std::isdigit(static_cast<unsigned char>(*p))) {
        p = start;
        return NO_ASSISTANT;
    }
    long value = 0;
    while (std::isdigit(static_cast<unsigned char>(*p))) {
        if (value < INT_MAX / 10) {
            value = value * 10 + (*p - '0');
        }
        ++p;
    }
    if (p[0] == '\r' && p[1] == '\n') {
        p += 2;
    }
    return static_cast<int>(negative ? -value : value);
}

}  // namespace

std::string CommandReferenceEntry::DisplayName() const {
    std::size_t end = text.find_first_of("\r\n");
    return text.substr(0, end);
}

std::vector<CommandReferenceEntry> ParseCommandReference(const char* text) {
    std::vector<CommandReferenceEntry> entries;
    if (text == nullptr) {
        return entries;
    }
    const char* p = std::strchr(text, '#');
    while (p != nullptr) {
        ++p;
        int assistant = ReadAssistantNumber(p);
        const char* end = std::strchr(p, '#');
        std::size_t length = end != nullptr ? static_cast<std::size_t>(end - p) : std::strlen(p);
        if (length == 0) {
            break;
        }
        entries.push_back({std::string(p, length), assistant});
        p = end;
    }
    return entries;
}

std::vector<CommandReferenceEntry> LoadCommandReference() {
    return ParseCommandReference(CommandTableResource());
}
