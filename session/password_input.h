// Reading a password (the host's and the viewer's): from a file given for one run, or from the
// person at the terminal (without echo) or from standard input when it is not a terminal.
#pragma once

#include <string>

namespace farvane::password {

// The file's first line (without its line end). False with `error` set when the file cannot
// be read or the line is empty.
bool ReadPasswordFile(const std::string& path, std::string* password, std::string* error);
// Asks once at a terminal (without echo); reads one line otherwise.
bool ReadPassword(const char* prompt, std::string* password, std::string* error);
// Asks twice at a terminal; reads one line otherwise.
bool ReadNewPassword(std::string* password, std::string* error);

}  // namespace farvane::password
