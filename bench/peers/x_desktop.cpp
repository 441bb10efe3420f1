#include "x_desktop.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace peers {

namespace {

using Clock = std::chrono::steady_clock;

// The typing terminal starts with a prompt and is otherwise empty, so that the lines appear one
// below the other without scrolling.
constexpr const char* kTypingCommand = "printf '$ cat notes.txt\\n'; exec cat \"$0\"";

}  // namespace

XDesktop::~XDesktop() {
    if (fifoFd_ >= 0) {
        close(fifoFd_);
    }
    clients_.clear();
    if (connection_ != nullptr) {
        XCloseDisplay(static_cast<Display*>(connection_));
    }
    server_.Stop();
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}

bool XDesktop::StartServer(int width, int height, std::string& error) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        error = "cannot make a pipe for Xvfb";
        return false;
    }
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const bool started = server_.Start({"Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-screen",
                                        "0", screen, "-nolisten", "tcp"},
                                       pipeFds[1]);
    close(pipeFds[1]);
    std::string number;
    pollfd wait{pipeFds[0], POLLIN, 0};
    const Clock::time_point until = Clock::now() + std::chrono::seconds(10);
    while (started && Clock::now() < until && poll(&wait, 1, 100) >= 0) {
        char text[16];
        if (!(wait.revents & (POLLIN | POLLHUP))) {
            continue;
        }
        const ssize_t got = read(pipeFds[0], text, sizeof text);
        if (got <= 0) {
            break;
        }
        number.append(text, static_cast<std::size_t>(got));
        if (number.find('\n') != std::string::npos) {
            break;
        }
    }
    close(pipeFds[0]);
    while (!number.empty() && (number.back() == '\n' || number.back() == ' ')) {
        number.pop_back();
    }
    if (number.empty()) {
        error = "Xvfb did not start";
        return false;
    }
    display_ = ":" + number;
    for (int attempt = 0; attempt < 100 && connection_ == nullptr; ++attempt) {
        connection_ = XOpenDisplay(display_.c_str());
        if (connection_ == nullptr) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    if (connection_ == nullptr) {
        error = "cannot open the display " + display_;
        return false;
    }
    return true;
}

bool XDesktop::StartClient(const std::vector<std::string>& arguments, std::string& error) {
    auto client = std::make_unique<ChildProcess>();
    if (!client->Start(arguments)) {
        error = "cannot start " + arguments.front();
        return false;
    }
    clients_.push_back(std::move(client));
    return true;
}

bool XDesktop::Start(int width, int height, const std::vector<std::string>& textFiles,
                     std::string& error) {
    for (const char* program : {"Xvfb", "xterm", "xlogo", "xsetroot"}) {
        if (!OnPath(program)) {
            error = std::string(program) + " is not installed (scripts/bootstrap --bench)";
            return false;
        }
    }
    char pattern[] = "/tmp/bench_peers-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        error = "cannot create a temporary folder";
        return false;
    }
    folder_ = pattern;
    fifo_ = folder_ + "/typing";
    if (mkfifo(fifo_.c_str(), 0600) != 0) {
        error = "cannot create the typing pipe";
        return false;
    }
    if (!StartServer(width, height, error)) {
        return false;
    }
    setenv("DISPLAY", display_.c_str(), 1);
    ChildProcess root;
    if (!root.Start({"xsetroot", "-display", display_, "-solid", "#3a6ea5"})) {
        error = "cannot start xsetroot";
        return false;
    }
    for (int i = 0; i < 100 && root.Running(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const std::string geometries[] = {"80x24+8+8", "80x24+620+380"};
    for (std::size_t i = 0; i < textFiles.size() && i < 2; ++i) {
        if (!StartClient({"xterm", "-display", display_, "-geometry", geometries[i], "-e", "sh",
                          "-c", "cat \"$0\"; exec sleep 100000", textFiles[i]},
                         error)) {
            return false;
        }
    }
    if (!StartClient({"xlogo", "-display", display_, "-geometry", "200x200+1000+60"}, error) ||
        !StartClient({"xterm", "-display", display_, "-geometry", "80x24+8+440", "-e", "sh", "-c",
                      kTypingCommand, fifo_},
                     error)) {
        return false;
    }
    // Opening for reading and writing does not wait for the terminal's reader.
    fifoFd_ = open(fifo_.c_str(), O_RDWR | O_CLOEXEC);
    if (fifoFd_ < 0) {
        error = "cannot open the typing pipe";
        return false;
    }
    if (!WaitUntilStill(1500, 20000)) {
        error = "the desktop did not settle";
        return false;
    }
    return true;
}

bool XDesktop::TypeLine(const std::string& line) {
    const std::string text = line + "\n";
    return write(fifoFd_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

unsigned long XDesktop::ScreenHash() {
    auto* display = static_cast<Display*>(connection_);
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, root, &attributes);
    XImage* image = XGetImage(display, root, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return 0;
    }
    unsigned long hash = 1469598103934665603ul;
    const std::size_t bytes = static_cast<std::size_t>(image->bytes_per_line) * image->height;
    for (std::size_t i = 0; i < bytes; i += 7) {
        hash = (hash ^ static_cast<unsigned char>(image->data[i])) * 1099511628211ul;
    }
    XDestroyImage(image);
    return hash;
}

bool XDesktop::WaitUntilStill(int quietMs, int limitMs) {
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(limitMs);
    unsigned long last = ScreenHash();
    Clock::time_point since = Clock::now();
    while (Clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const unsigned long hash = ScreenHash();
        if (hash != last) {
            last = hash;
            since = Clock::now();
        } else if (Clock::now() - since >= std::chrono::milliseconds(quietMs)) {
            return true;
        }
    }
    return false;
}

}  // namespace peers
