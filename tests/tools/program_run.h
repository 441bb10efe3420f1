// Runs one of the system's programs as a person would: its own process, arguments, extra
// environment, its output (standard output and error together) in a file the test reads.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace tooltest {

class ProgramRun {
public:
    // `input` names the file the program reads as standard input (default: nothing).
    ProgramRun(const std::string& program, const std::vector<std::string>& arguments,
               const std::map<std::string, std::string>& environment = {},
               const std::string& input = "/dev/null");
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool Started() const { return pid_ > 0; }
    int Pid() const { return pid_; }
    // The exit code once the program ended within `limit`; -1 when it did not (it is then
    // killed) or was ended by a signal.
    int Wait(std::chrono::milliseconds limit);
    bool Running();
    void Signal(int signal);
    // Everything the program wrote so far.
    std::string Output() const;
    // Waits until the output contains `text`.
    bool WaitForOutput(const std::string& text, std::chrono::milliseconds limit) const;

private:
    pid_t pid_ = -1;
    int status_ = -1;
    std::string outputPath_;
};

// Runs to the end (at most `limit`) and returns the exit code; the output goes to `output`.
int RunProgram(const std::string& program, const std::vector<std::string>& arguments,
               std::string* output, std::chrono::milliseconds limit = std::chrono::seconds(30),
               const std::map<std::string, std::string>& environment = {});

}  // namespace tooltest
