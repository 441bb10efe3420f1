// The name of a session's end event: the session library signals this manual-reset event when
// the session of a session file is over, and the service program that opened the file waits
// for it. Both sides build the name here, so they always meet.
#pragma once

#include <algorithm>
#include <string>

// The session file path with every backslash turned into a blank.
inline std::string SessionEndEventName(std::string path) {
    std::replace(path.begin(), path.end(), '\\', ' ');
    return path;
}
