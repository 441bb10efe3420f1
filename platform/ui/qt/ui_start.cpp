#include "platform/ui/qt/ui_start.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QIcon>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/ui/headless_backend.h"
#include "platform/ui/qt/qt_backend.h"

namespace farvane::ui {

namespace {

bool XServerAnswers(const std::string& display) {
    // ":N" or ":N.S" on this machine: the server's socket in /tmp/.X11-unix.
    if (display.empty() || display[0] != ':') {
        return !display.empty();  // a remote display: let Qt try it
    }
    std::string number = display.substr(1, display.find('.') - 1);
    std::string path = "/tmp/.X11-unix/X" + number;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

}  // namespace

bool DisplayAvailable() {
    if (const char* platform = std::getenv("QT_QPA_PLATFORM"); platform && *platform) {
        std::string name = platform;
        if (name.rfind("xcb", 0) != 0 && name.rfind("wayland", 0) != 0) {
            return true;  // offscreen, minimal, vnc...: no display needed
        }
    }
    if (const char* wayland = std::getenv("WAYLAND_DISPLAY"); wayland && *wayland) {
        return true;
    }
    const char* display = std::getenv("DISPLAY");
    return display && XServerAnswers(display);
}

UiBackendKind StartUi(int& argc, char** argv, bool canRunHeadless) {
    std::string asked = std::getenv("FARVANE_UI") ? std::getenv("FARVANE_UI") : "";
    if (asked == "headless") {
        UseHeadlessBackend();
        return UiBackendKind::Headless;
    }
    if (!DisplayAvailable()) {
        if (canRunHeadless) {
            UseHeadlessBackend();
            return UiBackendKind::Headless;
        }
        return UiBackendKind::None;
    }
    if (!QApplication::instance()) {
        new QApplication(argc, argv);  // lives for the rest of the program
    }
    InstallBackend(std::make_unique<qt::QtBackend>());
    return UiBackendKind::Qt;
}

bool SetProgramIcon(const char* imagePath) {
    if (!QApplication::instance() || imagePath == nullptr) {
        return false;
    }
    QIcon icon(QString::fromLocal8Bit(imagePath));
    if (icon.isNull() || icon.availableSizes().isEmpty()) {
        return false;
    }
    QApplication::setWindowIcon(icon);
    return true;
}

}  // namespace farvane::ui
