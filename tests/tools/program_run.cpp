#include "program_run.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

extern char** environ;

namespace tooltest {

ProgramRun::ProgramRun(const std::string& program, const std::vector<std::string>& arguments,
                       const std::map<std::string, std::string>& environment,
                       const std::string& input) {
    char pattern[] = "/tmp/program-run-XXXXXX";
    int fd = mkstemp(pattern);
    if (fd < 0) {
        return;
    }
    outputPath_ = pattern;
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        std::string text = *entry;
        std::size_t equals = text.find('=');
        variables[text.substr(0, equals)] =
            equals == std::string::npos ? "" : text.substr(equals + 1);
    }
    for (const auto& [name, value] : environment) {
        if (value.empty()) {
            variables.erase(name);
        } else {
            variables[name] = value;
        }
    }
    std::vector<std::string> pairs;
    for (const auto& [name, value] : variables) {
        pairs.push_back(name + "=" + value);
    }
    std::vector<char*> envp;
    for (std::string& pair : pairs) {
        envp.push_back(pair.data());
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fd, STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, input.c_str(), O_RDONLY, 0);
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) {
        pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(fd);
}

ProgramRun::~ProgramRun() {
    if (Running()) {
        Signal(SIGKILL);
        Wait(std::chrono::seconds(5));
    }
    if (!outputPath_.empty()) {
        unlink(outputPath_.c_str());
    }
}

bool ProgramRun::Running() {
    if (pid_ <= 0) {
        return false;
    }
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = status;
        pid_ = -1;
        return false;
    }
    return true;
}

int ProgramRun::Wait(std::chrono::milliseconds limit) {
    auto until = std::chrono::steady_clock::now() + limit;
    while (Running()) {
        if (std::chrono::steady_clock::now() > until) {
            Signal(SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

void ProgramRun::Signal(int signal) {
    if (pid_ > 0) {
        kill(pid_, signal);
    }
}

std::string ProgramRun::Output() const {
    std::ifstream file(outputPath_);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

bool ProgramRun::WaitForOutput(const std::string& text, std::chrono::milliseconds limit) const {
    auto until = std::chrono::steady_clock::now() + limit;
    while (Output().find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() > until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

int RunProgram(const std::string& program, const std::vector<std::string>& arguments,
               std::string* output, std::chrono::milliseconds limit,
               const std::map<std::string, std::string>& environment) {
    ProgramRun run(program, arguments, environment);
    int code = run.Wait(limit);
    *output = run.Output();
    return code;
}

}  // namespace tooltest
