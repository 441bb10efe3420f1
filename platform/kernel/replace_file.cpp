#include "platform/kernel/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <string>

namespace {

constexpr int kNameAttempts = 100;

// The folder part of path ("./" for a bare name), with its slash.
std::string FolderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return "./";
    }
    return path.substr(0, slash + 1);
}

// Seven characters that differ between processes, threads and calls.
std::string UniqueStem() {
    static std::atomic<unsigned> counter{0};
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::uint64_t value = (static_cast<std::uint64_t>(getpid()) << 32) ^
                          static_cast<std::uint64_t>(now.tv_nsec) ^
                          (static_cast<std::uint64_t>(counter++) * 0x9E3779B97F4A7C15ull);
    std::string stem(7, '0');
    for (char& c : stem) {
        c = "0123456789abcdefghijklmnopqrstuvwxyz"[value % 36];
        value /= 36;
    }
    return stem;
}

// A file of its own beside path, created with O_EXCL so that no file is ever taken over, and
// with mode so that the umask applies as to any new file. The name is short, so that a target
// whose own name is as long as names may be still has room beside it.
int CreateTemporaryBeside(const std::string& path, mode_t mode, std::string& temporary) {
    const std::string folder = FolderOf(path);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary = folder + "~" + UniqueStem() + ".tmp";
        int descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (descriptor >= 0 || errno != EEXIST) {
            return descriptor;
        }
    }
    return -1;
}

bool WriteBytes(int descriptor, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t count = write(descriptor, data, size);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            if (count == 0) {
                errno = EIO;
            }
            return false;
        }
        data += count;
        size -= static_cast<std::size_t>(count);
    }
    return true;
}

int Fail(const std::string& temporary, ReplaceFileStep step, ReplaceFileStep* failed) {
    int error = errno != 0 ? errno : EIO;
    if (!temporary.empty()) {
        unlink(temporary.c_str());
    }
    if (failed != nullptr) {
        *failed = step;
    }
    errno = error;
    return 0;
}

}  // namespace

int ReplaceFileContent(const char* path, const FileContentWriter& write,
                       const ReplaceFileOptions& options, ReplaceFileStep* failed) {
    if (failed != nullptr) {
        *failed = ReplaceFileStep::None;
    }
    std::string temporary;
    int descriptor =
        CreateTemporaryBeside(path, static_cast<mode_t>(options.mode & 07777), temporary);
    if (descriptor < 0) {
        return Fail({}, ReplaceFileStep::Create, failed);
    }
    // A file that exists keeps its permission bits.
    struct stat status {};
    bool keepMode = stat(path, &status) == 0 && S_ISREG(status.st_mode);
    errno = 0;
    if ((keepMode && fchmod(descriptor, status.st_mode & 07777) != 0) || !write(descriptor) ||
        (options.durable && fsync(descriptor) != 0)) {
        int error = errno;
        close(descriptor);
        errno = error;
        return Fail(temporary, ReplaceFileStep::Write, failed);
    }
    if (close(descriptor) != 0) {
        return Fail(temporary, ReplaceFileStep::Close, failed);
    }
    if (rename(temporary.c_str(), path) != 0) {
        return Fail(temporary, ReplaceFileStep::Rename, failed);
    }
    return 1;
}

int ReplaceFileContent(const char* path, const void* data, std::size_t size,
                       const ReplaceFileOptions& options) {
    return ReplaceFileContent(
        path,
        [&](int descriptor) {
            return WriteBytes(descriptor, static_cast<const char*>(data), size);
        },
        options);
}
