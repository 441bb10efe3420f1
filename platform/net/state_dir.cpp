#include "platform/net/state_dir.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace farvane::net {

namespace {

// Creates every missing folder of `path` with mode 0700.
bool MakeFolders(const std::string& path) {
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at == path.size() || path[at] == '/') {
            std::string part = path.substr(0, at);
            if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
                return false;
            }
        }
    }
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

NetStatus UserStateDirectory(std::string* path) {
    std::string folder;
    if (const char* own = std::getenv("FARVANE_STATE_DIR"); own && *own) {
        folder = own;
    } else if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/') {
        folder = std::string(state) + "/farvane";
    } else if (const char* home = std::getenv("HOME"); home && *home == '/') {
        folder = std::string(home) + "/.local/state/farvane";
    } else {
        return NetStatus{NetCode::kIoFailed, "no state folder: neither HOME nor XDG_STATE_HOME"};
    }
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    if (!MakeFolders(folder)) {
        return SystemFailure(NetCode::kIoFailed, "cannot create the state folder " + folder, errno);
    }
    *path = folder;
    return NetStatus::Ok();
}

NetStatus ReplaceFile(const std::string& path, const std::string& contents, unsigned mode) {
    std::string temporary = path + ".new-XXXXXX";
    int fd = mkstemp(temporary.data());
    if (fd < 0) {
        return SystemFailure(NetCode::kIoFailed, "cannot write " + path, errno);
    }
    bool written = fchmod(fd, mode) == 0;
    for (std::size_t at = 0; written && at < contents.size();) {
        ssize_t count = write(fd, contents.data() + at, contents.size() - at);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        written = count > 0;
        at += written ? static_cast<std::size_t>(count) : 0;
    }
    int error = errno;
    written = written && fsync(fd) == 0;
    if (close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
        error = written ? errno : error;
        unlink(temporary.c_str());
        return SystemFailure(NetCode::kIoFailed, "cannot write " + path, error);
    }
    return NetStatus::Ok();
}

}  // namespace farvane::net
