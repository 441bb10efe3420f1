// The editor's command line: the mode from the first argument, and the file arguments with
// their options (g: go to a line, r: reload files already open), wildcards and quoted names.
// Used at start-up and for a command line handed over by a second start of the editor.
#pragma once

#include <string>
#include <vector>

#include "editor/core/editor_settings.h"
#include "platform/kernel/win_types.h"

namespace fvedit {

inline constexpr std::size_t MODE_TEST_LENGTH = 127;
inline constexpr std::size_t COMMAND_LINE_LIMIT = 1023;

// The mode the first argument chooses (/p or -p print, /b or -b script builder).
EditorMode ModeOfCommandLine(const char* commandLine);
// The arguments: split at blanks; an argument starting with a double quote runs to the closing
// quote and keeps its blanks (the quotes are dropped).
std::vector<std::string> SplitCommandLine(const std::string& text);
void ProcessCommandLine(const char* commandLine);
// Message 1524: the command line another start of the editor handed over.
void AcceptHandedOverCommandLine(WPARAM ticket);
// The command line with every file argument made a full path, for handing over to a running
// editor whose current directory differs.
std::string CommandLineWithFullPaths(const std::string& commandLine);

}  // namespace fvedit
