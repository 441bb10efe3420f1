// Starts a private Xvfb for a test program and stops it at the end. Tests that need it skip
// with a message when the Xvfb program is not installed.
#pragma once

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace farvane::ui::testing {

class XvfbSession {
public:
    XvfbSession() {
        if (access("/usr/bin/Xvfb", X_OK) != 0) {
            reason_ = "Xvfb is not installed";
            return;
        }
        for (int number = 91; number < 140 && pid_ <= 0; ++number) {
            std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
            if (access(socket.c_str(), F_OK) == 0 || access(lock.c_str(), F_OK) == 0) {
                continue;
            }
            std::string display = ":" + std::to_string(number);
            pid_t pid = fork();
            if (pid == 0) {
                execl("/usr/bin/Xvfb", "Xvfb", display.c_str(), "-screen", "0", "1024x768x24",
                      "-nolisten", "tcp", static_cast<char*>(nullptr));
                _exit(127);
            }
            for (int i = 0; i < 100 && access(socket.c_str(), F_OK) != 0; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                if (waitpid(pid, nullptr, WNOHANG) == pid) {
                    pid = -1;  // that display was taken after all: try the next
                    break;
                }
            }
            if (pid > 0 && access(socket.c_str(), F_OK) == 0) {
                pid_ = pid;
                display_ = display;
            } else if (pid > 0) {
                kill(pid, SIGTERM);
                waitpid(pid, nullptr, 0);
            }
        }
        if (pid_ <= 0) {
            reason_ = "no Xvfb display could be started";
        }
    }
    ~XvfbSession() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool running() const { return pid_ > 0; }
    const std::string& display() const { return display_; }
    const std::string& reason() const { return reason_; }

private:
    pid_t pid_ = -1;
    std::string display_;
    std::string reason_;
};

}  // namespace farvane::ui::testing
