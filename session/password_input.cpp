#include "session/password_input.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>

#include "session/viewer_wire.h"

namespace farvane::password {

namespace {

void CutLineEnd(std::string* line) {
    while (!line->empty() && (line->back() == '\n' || line->back() == '\r')) {
        line->pop_back();
    }
}

bool Acceptable(const std::string& password, std::string* error) {
    if (password.empty()) {
        *error = "the password is empty";
        return false;
    }
    if (password.size() > kMaxPasswordBytes) {
        *error = "the password is longer than " + std::to_string(kMaxPasswordBytes) + " bytes";
        return false;
    }
    return true;
}

// One line from the terminal with echo off.
bool AskQuietly(const char* prompt, std::string* line) {
    std::fputs(prompt, stderr);
    std::fflush(stderr);
    termios saved{};
    tcgetattr(STDIN_FILENO, &saved);
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    bool read = static_cast<bool>(std::getline(std::cin, *line));
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::fputs("\n", stderr);
    return read;
}

}  // namespace

bool ReadPasswordFile(const std::string& path, std::string* password, std::string* error) {
    std::ifstream file(path);
    if (!file) {
        *error = "cannot read the password file " + path;
        return false;
    }
    std::getline(file, *password);
    CutLineEnd(password);
    if (!Acceptable(*password, error)) {
        *error += " (in " + path + ")";
        return false;
    }
    return true;
}

bool ReadPassword(const char* prompt, std::string* password, std::string* error) {
    bool read = isatty(STDIN_FILENO) ? AskQuietly(prompt, password)
                                     : static_cast<bool>(std::getline(std::cin, *password));
    if (!read) {
        *error = "no password given (use --password-file FILE)";
        return false;
    }
    CutLineEnd(password);
    return Acceptable(*password, error);
}

bool ReadNewPassword(std::string* password, std::string* error) {
    if (!isatty(STDIN_FILENO)) {
        if (!std::getline(std::cin, *password)) {
            *error = "no password on standard input";
            return false;
        }
        CutLineEnd(password);
        return Acceptable(*password, error);
    }
    std::string again;
    if (!AskQuietly("New host password: ", password) || !AskQuietly("Once more: ", &again)) {
        *error = "no password given";
        return false;
    }
    if (*password != again) {
        *error = "the two passwords differ";
        return false;
    }
    return Acceptable(*password, error);
}

}  // namespace farvane::password
