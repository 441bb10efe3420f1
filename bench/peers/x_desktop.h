// A real X desktop for the benchmark: its own Xvfb (a free display chosen by the server), a
// solid root, two terminals full of text, xlogo, and a third terminal that shows the lines
// written to it one by one.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "child_process.h"

namespace peers {

class XDesktop {
public:
    XDesktop() = default;
    ~XDesktop();
    XDesktop(const XDesktop&) = delete;
    XDesktop& operator=(const XDesktop&) = delete;

    // Starts the server and its clients and waits until the screen stops changing. `textFiles`
    // fill the two terminals. False with `error` set when something is missing or failed.
    bool Start(int width, int height, const std::vector<std::string>& textFiles,
               std::string& error);
    const std::string& display() const { return display_; }
    // Shows one line in the typing terminal.
    bool TypeLine(const std::string& line);
    // Waits until the screen has not changed for `quietMs` (at most `limitMs`).
    bool WaitUntilStill(int quietMs, int limitMs);

private:
    bool StartServer(int width, int height, std::string& error);
    bool StartClient(const std::vector<std::string>& arguments, std::string& error);
    unsigned long ScreenHash();

    std::string folder_;
    std::string display_;
    std::string fifo_;
    int fifoFd_ = -1;
    ChildProcess server_;
    std::vector<std::unique_ptr<ChildProcess>> clients_;
    void* connection_ = nullptr;  // Display* for the stillness check
};

}  // namespace peers
