// Feeds arbitrary bytes to the editor's text file reader as the content of a file, then checks
// the line table it built and writes it out again. The first byte chooses the settings.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "editor/core/buffer.h"
#include "editor/core/editor_settings.h"
#include "editor/core/file_read.h"
#include "editor/core/file_write.h"
#include "editor/core/headless_ui.h"

namespace {

int FileDescriptor() {
    static int descriptor = memfd_create("text_file_fuzz", 0);
    return descriptor;
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    static HeadlessUi ui;  // takes the messages about refused files
    SetEditorUi(&ui);
    ui.Clear();
    editorSettings.removeTrailingSpaces = data[0] & 1;
    editorSettings.fileLocking = (data[0] >> 1) & 1;
    ++data;
    --size;
    int descriptor = FileDescriptor();
    if (ftruncate(descriptor, 0) != 0 ||
        pwrite(descriptor, data, size, 0) != static_cast<ssize_t>(size)) {
        return 0;
    }
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", descriptor);

    Buffer* buffer = AllocateBuffer();
    int read = ReadFile(buffer, path);
    DWORD count = 0;
    std::size_t characters = 0;
    for (Line* line = buffer->lplnFirst; line != nullptr; line = line->next) {
        Check(line->length <= line->capacity && line->length <= MAX_LINE_LENGTH);
        Check(line->next == nullptr || line->next->prev == line);
        Check(line->number == count);
        characters += line->length;
        ++count;
    }
    Check(count == buffer->lineCount && count >= 1);
    Check(characters <= size);
    if (read) {
        int sink = open("/dev/null", O_WRONLY | O_CLOEXEC);
        Check(WriteLines(buffer, sink) == 1);
        close(sink);
    }
    DestroyBuffer(buffer);
    return 0;
}
