// A private Xvfb for the tests of the real editor program: the server picks a free display
// itself (-displayfd), so several test runs can share the machine. Programs started with
// Run get that display and a private runtime folder.
#pragma once

#include <string>
#include <vector>

class XSession {
public:
    XSession();
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    bool ok() const { return pid_ > 0; }
    const std::string& reason() const { return reason_; }
    const std::string& display() const { return display_; }

    // Runs a command line with the session's display (sh -c); returns its exit status.
    int Shell(const std::string& command) const;
    // The standard output of a command line.
    std::string Output(const std::string& command) const;
    // Waits until xdotool finds a window with the title; returns its id or "".
    std::string WaitForWindow(const std::string& title, int milliseconds) const;
    // True while a mapped window has exactly this title.
    bool Showing(const std::string& title) const;
    // Waits until a mapped window other than `except` has exactly this title; returns its id
    // or "".
    std::string WaitForShowing(const std::string& title, int milliseconds,
                               const std::string& except = "") const;
    // Saves a screenshot of the screen as PNG (crop: "WIDTHxHEIGHT" of the top left corner),
    // each top-level window taken from its own dump (see scripts/xwd2png --screen).
    bool Screenshot(const std::string& path, int scale = 1, const std::string& crop = "") const;

private:
    int pid_ = -1;
    std::string display_;
    std::string reason_;
};

// A program started in the background with extra environment entries.
class Program {
public:
    Program(const std::string& path, const std::vector<std::string>& arguments,
            const std::vector<std::string>& environment);
    ~Program();
    bool running();
    int pid() const { return pid_; }
    // Waits for the end; returns the exit status, or -1 after the time-out (then killed).
    int Wait(int milliseconds);

private:
    int pid_ = -1;
    int status_ = -1;
};
