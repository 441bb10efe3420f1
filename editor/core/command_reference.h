// The script command reference that the script builder lists: the "COMMANDTABLE" resource
// (id 31561) read into entries, each with its text and the number of the assistant that
// writes the command (-1 for none).
#pragma once

#include <string>
#include <vector>

inline constexpr const char* COMMAND_TABLE_TYPE = "COMMANDTABLE";
inline constexpr int COMMAND_TABLE_ID = 31561;
inline constexpr const char* COMMAND_TABLE_FALLBACK_NAME = "CommandExtensions";
inline constexpr int NO_ASSISTANT = -1;

struct CommandReferenceEntry {
    std::string text;  // the display name line, then the description lines (CR LF separated)
    int assistant;     // NO_ASSISTANT when none
    // The first line of the text: what the list shows.
    std::string DisplayName() const;
};

// The editor's own table text.
const char* CommandTableResource();
// Reads a table text: entries start with '#', may carry an optional '-' and digits and an
// optional CR LF after it, and run to the next '#'; an empty entry ("##") or the end of the
// text ends the table.
std::vector<CommandReferenceEntry> ParseCommandReference(const char* text);
// The list as the reference dialog fills it, read from the resource once per opening.
std::vector<CommandReferenceEntry> LoadCommandReference();
