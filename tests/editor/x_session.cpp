#include "x_session.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <thread>

namespace {

void Sleep(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace

XSession::XSession() {
    if (access("/usr/bin/Xvfb", X_OK) != 0 || access("/usr/bin/xdotool", X_OK) != 0) {
        reason_ = "Xvfb or xdotool is not installed";
        return;
    }
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        reason_ = "no pipe";
        return;
    }
    pid_t pid = fork();
    if (pid == 0) {
        close(pipeFds[0]);
        // Xvfb reports each display it finds taken while it looks for a free one.
        if (FILE* quiet = std::fopen("/dev/null", "w")) {
            dup2(fileno(quiet), 2);
        }
        std::string fd = std::to_string(pipeFds[1]);
        execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24",
              "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    char number[32] = {};
    std::size_t got = 0;
    while (got < sizeof number - 1) {
        ssize_t n = read(pipeFds[0], number + got, sizeof number - 1 - got);
        if (n <= 0 || std::strchr(number, '\n') != nullptr) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    close(pipeFds[0]);
    if (number[0] < '0' || number[0] > '9') {
        reason_ = "Xvfb did not start";
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        return;
    }
    pid_ = pid;
    display_ = ":" + std::string(number, std::strcspn(number, "\n"));
}

XSession::~XSession() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

int XSession::Shell(const std::string& command) const {
    std::string line = "DISPLAY=" + display_ + " " + command;
    return std::system(line.c_str());
}

std::string XSession::Output(const std::string& command) const {
    std::string line = "DISPLAY=" + display_ + " " + command;
    std::string result;
    if (FILE* pipe = popen(line.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
            result += buffer;
        }
        pclose(pipe);
    }
    return result;
}

std::string XSession::WaitForWindow(const std::string& title, int milliseconds) const {
    for (int waited = 0; waited < milliseconds; waited += 100) {
        std::string ids = Output("xdotool search --name '" + title + "' 2>/dev/null");
        if (!ids.empty()) {
            return ids.substr(0, ids.find('\n'));
        }
        Sleep(100);
    }
    return "";
}

bool XSession::Screenshot(const std::string& path, int scale, const std::string& crop) const {
    return Shell(FVEDIT_SOURCE_DIR "/scripts/xwd2png --screen '" + path + "' " +
                 std::to_string(scale) + " " + crop) == 0;
}

bool XSession::Showing(const std::string& title) const {
    std::string ids = Output("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null");
    return !ids.empty();
}

std::string XSession::WaitForShowing(const std::string& title, int milliseconds,
                                     const std::string& except) const {
    for (int waited = 0; waited < milliseconds; waited += 100) {
        std::istringstream ids(
            Output("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null"));
        for (std::string id; std::getline(ids, id);) {
            if (!id.empty() && id != except) {
                return id;
            }
        }
        Sleep(100);
    }
    return "";
}

Program::Program(const std::string& path, const std::vector<std::string>& arguments,
                 const std::vector<std::string>& environment) {
    pid_t pid = fork();
    if (pid == 0) {
        for (const std::string& entry : environment) {
            putenv(const_cast<char*>(entry.c_str()));
        }
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(path.c_str()));
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        execv(path.c_str(), argv.data());
        _exit(127);
    }
    pid_ = pid;
}

Program::~Program() {
    if (pid_ > 0 && running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

bool Program::running() {
    if (pid_ <= 0) {
        return false;
    }
    int status = 0;
    pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        pid_ = -1;
        return false;
    }
    return true;
}

int Program::Wait(int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 50) {
        if (!running()) {
            return status_;
        }
        Sleep(50);
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    return -1;
}
