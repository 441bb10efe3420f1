#include "xvfb_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>

namespace farvane::gdi::testing {

namespace {

std::string FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::string candidate = folder + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

}  // namespace

bool XvfbServer::Available() {
    return !FindOnPath("Xvfb").empty();
}

XvfbServer::~XvfbServer() {
    Stop();
}

bool XvfbServer::Start(const std::string& screen) {
    const std::string program = FindOnPath("Xvfb");
    int fds[2];
    if (program.empty() || pipe(fds) != 0) {
        return false;
    }
    pid_ = fork();
    if (pid_ == 0) {
        close(fds[0]);
        const int devnull = open("/dev/null", O_WRONLY);
        if (devnull >= 0) {
            dup2(devnull, STDOUT_FILENO);
            dup2(devnull, STDERR_FILENO);
        }
        const std::string fd = std::to_string(fds[1]);
        // -noreset: without it the server resets whenever its last client leaves and refuses
        // connections meanwhile.
        execl(program.c_str(), "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
              "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    if (pid_ < 0) {
        close(fds[0]);
        return false;
    }
    // Xvfb writes its display number once it accepts connections.
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd waiting{fds[0], POLLIN, 0};
        if (poll(&waiting, 1, 200) <= 0) {
            continue;
        }
        char c = 0;
        if (read(fds[0], &c, 1) != 1) {
            break;
        }
        if (c == '\n') {
            break;
        }
        number += c;
    }
    close(fds[0]);
    if (number.empty()) {
        Stop();
        return false;
    }
    display_ = ":" + number;
    return true;
}

void XvfbServer::Stop() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
    pid_ = -1;
}

}  // namespace farvane::gdi::testing
