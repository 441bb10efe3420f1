// Runs the named-object helper program as a child process with its output on a pipe.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace kernel_test {

class HelperProcess {
public:
    explicit HelperProcess(std::vector<std::string> arguments) {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        arguments.insert(arguments.begin(), KERNEL_NAMED_HELPER);
        std::vector<char*> argv;
        for (auto& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, KERNEL_NAMED_HELPER, &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[1]);
        output_ = pipeEnds[0];
    }
    ~HelperProcess() {
        if (pid_ > 0) {
            Kill();
        }
        if (output_ >= 0) {
            close(output_);
        }
    }
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    bool Started() const { return pid_ > 0; }

    // The first line the helper printed (blocks until it prints one or ends).
    std::string ReadLine() {
        std::string line;
        char byte;
        while (read(output_, &byte, 1) == 1 && byte != '\n') {
            line += byte;
        }
        return line;
    }

    // The helper's exit status, or -1 when it was killed.
    int Wait() {
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    void Kill() {
        kill(pid_, SIGKILL);
        Wait();
    }

private:
    pid_t pid_ = -1;
    int output_ = -1;
};

}  // namespace kernel_test
