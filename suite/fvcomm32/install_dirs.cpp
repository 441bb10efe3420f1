#include "suite/fvcomm32/install_dirs.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string CallHostDirectory() {
    if (const char* folder = std::getenv("FARVANE_CALLHOST_DIR"); folder != nullptr && *folder) {
        return folder;
    }
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data) {
        return std::string(data) + "/farvane/callhost";
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.local/share/farvane/callhost";
}

}  // namespace

int GetInstallMgrDir(int kind, char* buffer, int size) {
    if (kind != INSTALL_DIR_CALLHOST || buffer == nullptr || size <= 0) {
        return 0;
    }
    std::string folder = CallHostDirectory();
    if (folder.size() >= static_cast<std::size_t>(size)) {
        buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer, folder.c_str(), folder.size() + 1);
    return static_cast<int>(folder.size());
}
