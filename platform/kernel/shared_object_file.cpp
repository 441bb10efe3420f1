#include "platform/kernel/shared_object_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/kernel/runtime_dir.h"

namespace farvane::kernel {

namespace {

int OpenFile(const std::string& path, bool create) {
    const int flags = O_RDWR | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT : 0);
    int descriptor;
    do {
        descriptor = open(path.c_str(), flags, 0600);
    } while (descriptor < 0 && errno == EINTR);
    return descriptor;
}

int Lock(int descriptor, int operation) {
    int result;
    do {
        result = flock(descriptor, operation);
    } while (result != 0 && errno == EINTR);
    return result;
}

}  // namespace

DWORD ErrorFromErrno(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return ERROR_FILE_NOT_FOUND;
        case EACCES:
        case EPERM:
        case ELOOP:
            return ERROR_ACCESS_DENIED;
        case ENOMEM:
        case ENOSPC:
        case EMFILE:
        case ENFILE:
            return ERROR_NOT_ENOUGH_MEMORY;
        case ENAMETOOLONG:
            return ERROR_INVALID_NAME;
        default:
            return ERROR_ACCESS_DENIED;
    }
}

std::string SharedObjectPath(const char* name, const char* suffix) {
    const std::string folder = KernelRuntimeDirectory();
    if (folder.empty()) {
        return std::string();
    }
    return folder + "/" + KernelEscapeName(name) + "." + suffix;
}

SharedObjectFile::~SharedObjectFile() {
    if (descriptor_ >= 0) {
        close(descriptor_);
    }
}

bool SharedObjectFile::Open(const std::string& path, bool mayCreate,
                            const std::function<bool(int)>& initialise, DWORD* error) {
    const int guard = OpenFile(path + ".guard", true);
    if (guard < 0) {
        *error = ErrorFromErrno(errno);
        return false;
    }
    bool opened = false;
    if (Lock(guard, LOCK_EX) == 0) {
        opened = OpenUnderGuard(path, mayCreate, initialise, error);
    } else {
        *error = ErrorFromErrno(errno);
    }
    close(guard);
    return opened;
}

bool SharedObjectFile::OpenUnderGuard(const std::string& path, bool mayCreate,
                                      const std::function<bool(int)>& initialise, DWORD* error) {
    const int descriptor = OpenFile(path, mayCreate);
    if (descriptor < 0) {
        *error = ErrorFromErrno(errno);
        return false;
    }
    // Exclusive only while nobody has the object open: then this call creates it.
    const bool nobodyHasIt = Lock(descriptor, LOCK_EX | LOCK_NB) == 0;
    if (nobodyHasIt && (!mayCreate || !initialise(descriptor))) {
        *error = mayCreate ? ERROR_NOT_ENOUGH_MEMORY : ERROR_FILE_NOT_FOUND;
        close(descriptor);
        return false;
    }
    // Turning the exclusive lock into a shared one is not atomic, but every process that could
    // slip in between takes the guard first.
    if (Lock(descriptor, LOCK_SH) != 0) {
        *error = ErrorFromErrno(errno);
        close(descriptor);
        return false;
    }
    descriptor_ = descriptor;
    created_ = nobodyHasIt;
    return true;
}

}  // namespace farvane::kernel
