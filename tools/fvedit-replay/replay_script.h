// A replay script: editor commands by name, typed text and the answers of the dialogs the
// commands open, applied to one open document.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "replay_ui.h"

struct ScriptLine {
    int number;
    std::string text;
};

struct ScriptError {
    int line = 0;         // 0: no error
    std::string message;  // what failed
};

// Puts the editor-wide command state where a replay of one file starts: as at the editor's
// start-up, with the preferences' default values (typing replaces a selection, ...), which a
// script may change with "set".
void ResetReplayState();
// Splits a script into its meaningful lines (blank lines and # comments dropped).
std::vector<ScriptLine> ParseScript(const std::string& script);
// Checks every line's form without running it. Returns the first error.
ScriptError CheckScript(const std::vector<ScriptLine>& lines);
// Runs the script on the current window. screen output ("screen", "status") goes to out.
// Stops at the first failing line unless keepGoing.
ScriptError RunScript(const std::vector<ScriptLine>& lines, ReplayUi& ui, std::ostream& out,
                      bool keepGoing);
// Decodes the escapes of script texts: \t \n \r \\ and \xHH.
std::string DecodeEscapes(const std::string& text);
// The script format, for --help.
const char* ScriptHelp();
