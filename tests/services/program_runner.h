// Runs a service program as a separate process on the headless backend, in a private runtime
// and settings folder, and watches what it does: its message boxes (its error output), its
// exit, the notifications it posts.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace farvane::services::testing {

class TempFolder {
public:
    TempFolder() {
        char pattern[] = "/tmp/fvservices-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempFolder() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name, const std::string& content = "[Session]\n") const {
        std::string full = path_ + "/" + name;
        std::ofstream(full) << content;
        return full;
    }

private:
    std::string path_;
};

class ProgramRun {
public:
    // Starts `program` with `args` and the extra environment; the runtime and settings folders
    // are `folder`.
    ProgramRun(const std::string& program, const std::vector<std::string>& args,
               const std::string& folder, const std::map<std::string, std::string>& env = {})
        : errorFile_(folder + "/stderr-" + std::to_string(++Counter()) + ".txt") {
        pid_ = fork();
        if (pid_ == 0) {
            setenv("FARVANE_UI", "headless", 1);
            setenv("FARVANE_RUNTIME_DIR", folder.c_str(), 1);
            setenv("FARVANE_WINDIR", folder.c_str(), 1);
            for (const auto& [name, value] : env) {
                setenv(name.c_str(), value.c_str(), 1);
            }
            freopen(errorFile_.c_str(), "w", stderr);
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (const std::string& arg : args) {
                argv.push_back(const_cast<char*>(arg.c_str()));
            }
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
    }
    ~ProgramRun() {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    // Waits up to `limit` for the program to end; true when it did.
    bool WaitForExit(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        auto end = std::chrono::steady_clock::now() + limit;
        while (!exited_ && std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return exited_;
    }
    bool StillRunning() { return !WaitForExit(std::chrono::milliseconds(0)); }
    void Kill() {
        kill(pid_, SIGKILL);
        WaitForExit();
    }
    int ExitCode() const { return exitCode_; }
    std::string Errors() const {
        std::ifstream in(errorFile_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    static int& Counter() {
        static int counter = 0;
        return counter;
    }
    std::string errorFile_;
    pid_t pid_ = -1;
    bool exited_ = false;
    int exitCode_ = -1;
};

}  // namespace farvane::services::testing
