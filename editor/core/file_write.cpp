#include "editor/core/file_write.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "editor/core/editor_paths.h"
#include "editor/core/editor_strings.h"
#include "editor/core/file_io.h"
#include "editor/core/user_messages.h"
#include "platform/kernel/tick.h"

namespace {

constexpr int MAX_NAME_ATTEMPTS = 10000;

// Without staging memory: each line and its line end with two writes.
int WriteLinesDirectly(Buffer* buffer, int descriptor) {
    for (Line* line = buffer->lplnFirst; line != nullptr; line = line->next) {
        if (WriteAll(descriptor, line->text, line->length) != line->length ||
            WriteAll(descriptor, "\r\n", 2) != 2) {
            return 0;
        }
    }
    return 1;
}

void BuildName(const char* folder, DWORD tick, const char* extension, char* name,
               std::size_t size) {
    char stem[16];
    std::snprintf(stem, sizeof stem, "~%lu", static_cast<unsigned long>(tick));
    stem[8] = '\0';
    const char* separator = std::strcmp(folder, "/") == 0 ? "" : "/";
    std::snprintf(name, size, "%s%s%s%s", folder, separator, stem, extension);
}

}  // namespace

int WriteLines(Buffer* buffer, int descriptor) {
    char* staging = static_cast<char*>(std::malloc(STAGING_SIZE));
    if (staging == nullptr) {
        return WriteLinesDirectly(buffer, descriptor);
    }
    DWORD staged = 0;
    int result = 1;
    for (Line* line = buffer->lplnFirst; line != nullptr && result; line = line->next) {
        DWORD needed = line->length + 2;
        if (staged + needed >= STAGING_SIZE && staged > 0) {
            result = WriteAll(descriptor, staging, staged) == staged;
            staged = 0;
        }
        if (!result) {
            break;
        }
        if (needed >= STAGING_SIZE) {
            // Longer than the staging buffer: straight from the line's storage.
            result = WriteAll(descriptor, line->text, line->length) == line->length &&
                     WriteAll(descriptor, "\r\n", 2) == 2;
            continue;
        }
        std::memcpy(staging + staged, line->text, line->length);
        staging[staged + line->length] = '\r';
        staging[staged + line->length + 1] = '\n';
        staged += needed;
    }
    if (result && staged > 0) {
        result = WriteAll(descriptor, staging, staged) == staged;
    }
    std::free(staging);
    return result;
}

int MakeUniqueName(const char* folder, const char* extension, char* name, std::size_t size) {
    DWORD tick = GetTickCount() + 1;
    for (int attempt = 0; attempt < MAX_NAME_ATTEMPTS; ++attempt, ++tick) {
        BuildName(folder, tick, extension, name, size);
        if (!PathExists(name)) {
            return 1;
        }
    }
    return 0;
}

int MakeTempName(const char* path, char* name, std::size_t size) {
    char folder[PATH_NAME_SIZE];
    DirectoryPart(path, folder, sizeof folder);
    return MakeUniqueName(folder, EditorString(IDS_TEMP_EXTENSION), name, size);
}

int CreateUniqueFile(const char* folder, const char* extension, unsigned mode, char* name,
                     std::size_t size) {
    for (int attempt = 0; attempt < MAX_NAME_ATTEMPTS; ++attempt) {
        if (!MakeUniqueName(folder, extension, name, size)) {
            return -1;
        }
        // O_EXCL: a file that appeared since the name was chosen is never replaced.
        int descriptor = open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (descriptor >= 0) {
            return descriptor;
        }
        if (errno != EEXIST) {
            return -1;
        }
    }
    return -1;
}

int FinishBufferFile(Buffer* buffer, int descriptor, const char* name) {
    if (!WriteLines(buffer, descriptor)) {
        close(descriptor);
        unlink(name);
        EditorWarning(IDS_DISK_FULL);
        return 0;
    }
    if (close(descriptor) != 0) {
        unlink(name);
        EditorWarning(IDS_CLOSE_OUTPUT_ERROR);
        return 0;
    }
    return 1;
}
