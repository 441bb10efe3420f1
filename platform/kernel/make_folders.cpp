#include "platform/kernel/make_folders.h"

#include <sys/stat.h>

#include <cerrno>

namespace {

bool IsDirectory(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

bool MakeFolders(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    // Each prefix that ends before a slash, then the whole path; "a//b" and a trailing slash
    // give empty or repeated prefixes, which mkdir reports as existing.
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        if (mkdir(path.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
    }
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    return IsDirectory(path);
}
