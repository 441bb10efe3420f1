#include "services/shell/switches.h"

#include <cctype>
#include <cstring>

#include "suite/rt32base/rt32base.h"

namespace {

// Paths here are written with slashes, so a slash belongs to a path unless it starts a word
// (the line's start or after a blank) in which no further slash follows: "/W" and "/Xword" are
// switches, "/work/x.chf" and "a/x" are not.
bool StartsSwitch(const char* text, const char* slash) {
    if (slash != text && slash[-1] != ' ') {
        return false;
    }
    const char* wordEnd = std::strchr(slash, ' ');
    const char* nextSlash = std::strchr(slash + 1, '/');
    return !nextSlash || (wordEnd && nextSlash > wordEnd);
}

}  // namespace

void ParseSwitches(std::string& commandLine, const char* accepted, ShellSwitches& switches) {
    char* text = commandLine.data();
    for (char* slash = RTstrchr(text, '/'); slash; slash = RTstrchr(slash + 1, '/')) {
        char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(slash[1])));
        if (!StartsSwitch(text, slash) || letter == '\0' || !std::strchr(accepted, letter)) {
            continue;
        }
        if (letter == 'L') {
            switches.l = 1;
        } else if (letter == 'W') {
            switches.w = 1;
        } else if (letter == 'X') {
            switches.x = 1;
            switches.xText = slash + 2;
        }
        slash[0] = ' ';
        slash[1] = ' ';
        ++slash;  // the scan goes on after the switch
    }
    std::size_t end = commandLine.find_last_not_of(' ');
    commandLine.erase(end == std::string::npos ? 0 : end + 1);
}
