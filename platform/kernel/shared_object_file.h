// The file that stands for one named object in the runtime folder.
//
// Every process that has the object open holds a shared flock on the file, so the object exists
// exactly as long as some process holds it (the kernel drops the lock of a process that dies).
// Creation and opening run under an exclusive lock on a guard file beside it: whoever then
// finds it can take an exclusive lock on the object file knows that nobody has the object
// open, and creates it afresh, whatever an earlier process left in the file.
#pragma once

#include <functional>
#include <string>

#include "platform/kernel/win_types.h"

namespace farvane::kernel {

class SharedObjectFile {
public:
    SharedObjectFile() = default;
    SharedObjectFile(const SharedObjectFile&) = delete;
    SharedObjectFile& operator=(const SharedObjectFile&) = delete;
    ~SharedObjectFile();

    // Opens the object whose file is `path`. When nobody has it open: with `mayCreate` the
    // object is created and `initialise` prepares the file (returning false fails the call),
    // else the call fails with ERROR_FILE_NOT_FOUND. On failure returns false and sets *error.
    bool Open(const std::string& path, bool mayCreate, const std::function<bool(int)>& initialise,
              DWORD* error);

    int Descriptor() const { return descriptor_; }
    bool Created() const { return created_; }

private:
    bool OpenUnderGuard(const std::string& path, bool mayCreate,
                        const std::function<bool(int)>& initialise, DWORD* error);

    int descriptor_ = -1;
    bool created_ = false;
};

// The path of the object named `name` with `suffix` ("event", "sem"...), in the runtime folder;
// empty when there is no runtime folder.
std::string SharedObjectPath(const char* name, const char* suffix);

// Maps a failed system call's errno to a Win32 error code.
DWORD ErrorFromErrno(int error);

}  // namespace farvane::kernel
