#include "platform/kernel/share_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace {

void Report(DWORD* error, DWORD value) {
    if (error != nullptr) {
        *error = value;
    }
}

DWORD ErrorOfErrno(int code) {
    switch (code) {
        case ENOENT:
        case ENOTDIR:
            return ERROR_FILE_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return ERROR_ACCESS_DENIED;
        case EWOULDBLOCK:
            return ERROR_SHARING_VIOLATION;
        default:
            return ERROR_INVALID_PARAMETER;
    }
}

// Descriptor 0 would read as "no handle" to callers that keep handles in an int: move it.
int AboveZero(int descriptor) {
    if (descriptor != 0) {
        return descriptor;
    }
    int moved = fcntl(descriptor, F_DUPFD_CLOEXEC, 1);
    close(descriptor);
    return moved;
}

}  // namespace

int ShareLockDescriptor(int descriptor, ShareMode mode, DWORD* error) {
    if (mode == ShareMode::DenyNone) {
        return 1;
    }
    int operation = (mode == ShareMode::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    int result;
    do {
        result = flock(descriptor, operation);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        Report(error, ErrorOfErrno(errno));
        return 0;
    }
    return 1;
}

int ShareOpenFile(const char* path, int openFlags, ShareMode mode, DWORD* error,
                  unsigned createMode) {
    if (path == nullptr || path[0] == '\0') {
        Report(error, ERROR_INVALID_PARAMETER);
        return -1;
    }
    // A truncating open must not destroy a file that someone else holds: truncate only once
    // the lock is ours.
    bool truncate = (openFlags & O_TRUNC) != 0;
    int descriptor = AboveZero(open(path, (openFlags & ~O_TRUNC) | O_CLOEXEC, createMode));
    if (descriptor < 0) {
        Report(error, ErrorOfErrno(errno));
        return -1;
    }
    if (!ShareLockDescriptor(descriptor, mode, error)) {
        close(descriptor);
        return -1;
    }
    if (truncate && ftruncate(descriptor, 0) != 0) {
        Report(error, ErrorOfErrno(errno));
        close(descriptor);
        return -1;
    }
    return descriptor;
}

int ShareCloseFile(int descriptor) {
    return close(descriptor) == 0 ? 1 : 0;
}
