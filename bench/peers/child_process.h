// Programs the benchmark starts and ends itself: each one by its own process id.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace peers {

// True when a program of this name is on PATH.
bool OnPath(const std::string& program);

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess() { Stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts the program with its output sent to /dev/null. `keepFd`, when not -1, stays open
    // in the child (Xvfb's -displayfd). False when it could not be started.
    bool Start(const std::vector<std::string>& arguments, int keepFd = -1);
    bool Running();
    // Ends the program (SIGTERM, then SIGKILL after a second) and reaps it.
    void Stop();
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
};

}  // namespace peers
