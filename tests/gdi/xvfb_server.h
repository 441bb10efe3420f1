// An Xvfb server that a test starts on a free display number and stops when done.
#pragma once

#include <sys/types.h>

#include <string>

namespace farvane::gdi::testing {

class XvfbServer {
public:
    // Whether an Xvfb program can be found on PATH.
    static bool Available();

    XvfbServer() = default;
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // Starts "Xvfb -displayfd ... -screen 0 <screen> -nolisten tcp -noreset" and waits until it takes
    // connections (at most 20 s). screen is for example "640x480x24".
    bool Start(const std::string& screen);
    // Ends the server and waits for it.
    void Stop();
    // ":N", valid after Start succeeded.
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

}  // namespace farvane::gdi::testing
