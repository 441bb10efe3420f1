#include "editor/core/editor_paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "editor/core/buffer.h"
#include "platform/kernel/make_folders.h"

namespace {

char programDirectory[PATH_NAME_SIZE];
char stateFolder[PATH_NAME_SIZE];
bool stateFolderSet = false;

void ChooseStateFolder() {
    std::string folder = ProgramDirectory();
    if (!folder.empty() && access(folder.c_str(), W_OK) == 0) {
        folder.pop_back();
    } else {
        const char* stateHome = std::getenv("XDG_STATE_HOME");
        const char* home = std::getenv("HOME");
        if (stateHome != nullptr && stateHome[0] == '/') {
            folder = std::string(stateHome) + "/farvane";
        } else if (home != nullptr && home[0] == '/') {
            folder = std::string(home) + "/.local/state/farvane";
        } else {
            folder.clear();
        }
        if (!folder.empty() && !MakeFolders(folder)) {
            folder.clear();
        }
    }
    std::snprintf(stateFolder, sizeof stateFolder, "%s", folder.c_str());
    stateFolderSet = true;
}

}  // namespace

const char* ProgramDirectory() {
    if (programDirectory[0] == '\0') {
        char path[PATH_NAME_SIZE];
        ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
        if (n > 0) {
            path[n] = '\0';
            char* slash = std::strrchr(path, '/');
            if (slash != nullptr) {
                slash[1] = '\0';
                std::snprintf(programDirectory, sizeof programDirectory, "%s", path);
            }
        }
    }
    return programDirectory;
}

const char* StateFolder() {
    if (!stateFolderSet) {
        ChooseStateFolder();
    }
    return stateFolder;
}

void SetStateFolder(const char* folder) {
    if (folder == nullptr) {
        stateFolderSet = false;
        return;
    }
    std::snprintf(stateFolder, sizeof stateFolder, "%s", folder);
    stateFolderSet = true;
}

int FullPathName(const char* path, char* out, std::size_t size) {
    if (path == nullptr || path[0] == '\0') {
        return 0;
    }
    std::string whole;
    if (path[0] != '/') {
        char cwd[PATH_NAME_SIZE];
        if (getcwd(cwd, sizeof cwd) == nullptr) {
            return 0;
        }
        whole = std::string(cwd) + "/" + path;
    } else {
        whole = path;
    }
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start < whole.size()) {
        std::size_t slash = whole.find('/', start);
        if (slash == std::string::npos) {
            slash = whole.size();
        }
        std::string part = whole.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    std::string result;
    for (const std::string& part : parts) {
        result += "/" + part;
    }
    if (result.empty()) {
        result = "/";
    }
    if (result.size() + 1 > size) {
        return 0;
    }
    std::memcpy(out, result.c_str(), result.size() + 1);
    return 1;
}

const char* FileNamePart(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}

void DirectoryPart(const char* path, char* out, std::size_t size) {
    const char* slash = std::strrchr(path, '/');
    if (slash == nullptr) {
        std::snprintf(out, size, ".");
    } else if (slash == path) {
        std::snprintf(out, size, "/");
    } else {
        std::snprintf(out, size, "%.*s", static_cast<int>(slash - path), path);
    }
}

int MakeBackupName(const char* path, char* out, std::size_t size) {
    const char* name = FileNamePart(path);
    const char* stem = name;
    while (*stem == '.') {
        ++stem;
    }
    const char* dot = std::strchr(stem, '.');
    std::size_t keep = dot != nullptr ? static_cast<std::size_t>(dot - path) : std::strlen(path);
    int n = std::snprintf(out, size, "%.*s.bak", static_cast<int>(keep), path);
    if (n < 0 || static_cast<std::size_t>(n) >= size) {
        return 0;
    }
    if (std::strcmp(out, path) == 0) {
        n = std::snprintf(out, size, "%s.bak", path);
        if (n < 0 || static_cast<std::size_t>(n) >= size) {
            return 0;
        }
    }
    return 1;
}

bool PathExists(const char* path) {
    struct stat info;
    return stat(path, &info) == 0;
}

bool IsDirectory(const char* path) {
    struct stat info;
    return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool SameFile(const char* a, const char* b) {
    if (std::strcmp(a, b) == 0) {
        return true;
    }
    struct stat first;
    struct stat second;
    return stat(a, &first) == 0 && stat(b, &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}
