#include "editor/core/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "editor/core/buffer.h"
#include "editor/core/editor_paths.h"
#include "editor/core/file_io.h"
#include "editor/core/file_write.h"

int ReplaceFileContent(const char* path, const void* data, std::size_t size, unsigned mode) {
    char folder[PATH_NAME_SIZE];
    DirectoryPart(path, folder, sizeof folder);
    char temporary[PATH_NAME_SIZE];
    int descriptor = CreateUniqueFile(folder, ".tmp", mode, temporary, sizeof temporary);
    if (descriptor < 0) {
        return 0;
    }
    bool written = WriteAll(descriptor, data, size) == size;
    int savedErrno = errno;
    bool closed = close(descriptor) == 0;
    if (!written || !closed || rename(temporary, path) != 0) {
        savedErrno = written && closed ? errno : savedErrno;
        unlink(temporary);
        errno = savedErrno != 0 ? savedErrno : EIO;
        return 0;
    }
    return 1;
}
