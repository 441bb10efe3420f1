// The command-line switches of a service program: /L, /W and /X (with the text after it).
#pragma once

#include <string>

struct ShellSwitches {
    int l = 0;
    int w = 0;
    int x = 0;
    std::string xText;  // everything after "/X" to the end of the command line
};

// Scans the command line for a slash followed by one of the `accepted` letters (upper case,
// matched in either case), at the start of a word that holds no other slash (a slash inside
// a path is no switch). A recognised switch is recorded and its two characters become
// blanks; a slash before any other character stays as it is. Trailing blanks are cut at the
// end; blanks left at the start or in the middle stay.
void ParseSwitches(std::string& commandLine, const char* accepted, ShellSwitches& switches);
