#include "suite/rt32base/rt32base.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

char* NameStripFile(char* path) {
    if (path == nullptr) {
        return path;
    }
    char* cut = path;  // one past the last separator seen
    for (char* at = path; *at != '\0'; ++at) {
        if (*at == '/' || *at == '\\') {
            cut = at + 1;
        }
    }
    *cut = '\0';
    return path;
}

int FileExists(const char* path) {
    if (path == nullptr || *path == '\0') {
        return 0;
    }
    struct stat status {};
    if (stat(path, &status) != 0) {
        return 0;
    }
    return S_ISDIR(status.st_mode) ? 0 : 1;
}

int FileRename(const char* oldName, const char* newName) {
    if (oldName == nullptr || newName == nullptr || *oldName == '\0' || *newName == '\0') {
        errno = EINVAL;
        return -1;
    }
    // renameat2 with RENAME_NOREPLACE refuses atomically to overwrite; where the file system
    // does not support it, fall back to a check followed by rename.
    if (renameat2(AT_FDCWD, oldName, AT_FDCWD, newName, RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return -1;
    }
    struct stat status {};
    if (lstat(newName, &status) == 0) {
        errno = EEXIST;
        return -1;
    }
    return rename(oldName, newName) == 0 ? 0 : -1;
}

char* RTstrchr(const char* text, int character) {
    if (text == nullptr || static_cast<char>(character) == '\0') {
        return nullptr;
    }
    return const_cast<char*>(std::strchr(text, character));
}
