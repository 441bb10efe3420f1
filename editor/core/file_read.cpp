#include "editor/core/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include "editor/core/editor_settings.h"
#include "editor/core/file_io.h"
#include "editor/core/lines.h"
#include "editor/core/private_heap.h"
#include "editor/core/trace.h"
#include "editor/core/user_messages.h"
#include "platform/kernel/share_lock.h"

int BuildLineTable(Buffer* buffer, char* text, DWORD length, char lineEnd) {
    bool trim = editorSettings.removeTrailingSpaces != 0;
    DWORD a = 0;
    while (a < length) {
        Line* line = NewLine(buffer);
        if (line == nullptr) {
            EditorTrace("BuildLineTable(): NewLine() failed");
            return 0;
        }
        const char* end = static_cast<const char*>(std::memchr(text + a, lineEnd, length - a));
        DWORD i = end != nullptr ? static_cast<DWORD>(end - text) : length;
        DWORD kept = i;
        if (trim) {
            while (kept > a && (text[kept - 1] == ' ' || text[kept - 1] == '\t')) {
                --kept;
            }
        }
        if (kept - a > MAX_LINE_LENGTH) {
            xfree(buffer, line, sizeof(Line));
            return -1;
        }
        line->text = text + a;
        line->length = kept - a;
        if (i < length) {
            ++i;
            if (lineEnd == '\r' && i < length && text[i] == '\n') {
                ++i;
            }
        }
        line->capacity = i - a;
        line->number = buffer->lineCount++;
        line->prev = buffer->lplnBuildTail;
        if (buffer->lplnBuildTail != nullptr) {
            buffer->lplnBuildTail->next = line;
        } else {
            buffer->lplnFirst = line;
        }
        buffer->lplnBuildTail = line;
        a = i;
    }
    return 1;
}

namespace {

enum class ReadOutcome { Done, OutOfMemory, ReadError, NotText, LineTooLong };

struct ChunkReader {
    Buffer* buffer;
    int descriptor;
    std::uint64_t remaining;
    off_t offset = 0;
    char lineEnd = 0;
    DWORD limit = READ_CHUNK_SIZE;
};

// Whether a chunk without a line end can still be text: then a larger chunk is tried.
bool CanGrow(const ChunkReader& reader) {
    return reader.limit < MAX_READ_CHUNK;
}

void Grow(ChunkReader& reader) {
    DWORD doubled = reader.limit * 2;
    reader.limit = doubled < MAX_READ_CHUNK ? doubled : MAX_READ_CHUNK;
}

// Removes the last line built (its record and the rest of the chunk after its start).
void DropLastLine(Buffer* buffer, char* chunkEnd) {
    Line* last = buffer->lplnBuildTail;
    char* text = last->text;
    buffer->lplnBuildTail = last->prev;
    if (last->prev != nullptr) {
        last->prev->next = nullptr;
    } else {
        buffer->lplnFirst = nullptr;
    }
    --buffer->lineCount;
    xfree(buffer, last, sizeof(Line));
    xfree(buffer, text, static_cast<DWORD>(chunkEnd - text));
}

// Decides the line end on the first chunk; tells whether the chunk passes the text test.
bool ChunkHasLineEnd(ChunkReader& reader, const char* chunk, DWORD got, DWORD textLength) {
    if (reader.lineEnd == 0) {
        if (std::memchr(chunk, '\r', textLength) != nullptr) {
            reader.lineEnd = '\r';
        } else if (std::memchr(chunk, '\n', textLength) != nullptr) {
            reader.lineEnd = '\n';
        } else if (got <= TEXT_TEST_SIZE) {
            reader.lineEnd = '\r';
        } else {
            return false;
        }
        return true;
    }
    return got <= TEXT_TEST_SIZE || std::memchr(chunk, reader.lineEnd, textLength) != nullptr;
}

ReadOutcome ReadChunks(ChunkReader& reader) {
    Buffer* buffer = reader.buffer;
    while (reader.remaining > 0) {
        DWORD chunkSize = reader.remaining < reader.limit ? static_cast<DWORD>(reader.remaining) + 1
                                                          : reader.limit;
        char* chunk = static_cast<char*>(xalloc(buffer, chunkSize));
        if (chunk == nullptr) {
            return ReadOutcome::OutOfMemory;
        }
        ssize_t count = ReadAll(reader.descriptor, chunk, chunkSize - 1);
        if (count < 0) {
            return ReadOutcome::ReadError;
        }
        DWORD got = static_cast<DWORD>(count);
        if (got < chunkSize - 1) {
            reader.remaining = got;  // the file is shorter than it was
        }
        if (got == 0) {
            break;
        }
        chunk[got] = '\0';
        bool final = got == reader.remaining;
        DWORD textLength = static_cast<DWORD>(strnlen(chunk, got));
        bool binary = textLength < got;
        bool firstChunk = reader.lineEnd == 0;
        if (!ChunkHasLineEnd(reader, chunk, got, textLength)) {
            // A later chunk that ends the file may be one last line without a line end.
            bool lastLine = final && !firstChunk;
            if (binary || (final && firstChunk)) {
                return ReadOutcome::NotText;
            }
            if (!lastLine) {
                if (!CanGrow(reader)) {
                    return ReadOutcome::LineTooLong;
                }
                xfree(buffer, chunk, chunkSize);
                Grow(reader);
                if (lseek(reader.descriptor, reader.offset, SEEK_SET) != reader.offset) {
                    return ReadOutcome::ReadError;
                }
                continue;
            }
        }
        int built = BuildLineTable(buffer, chunk, got, reader.lineEnd);
        if (built == 0) {
            return ReadOutcome::OutOfMemory;
        }
        if (built < 0) {
            return ReadOutcome::LineTooLong;
        }
        if (final) {
            reader.remaining = 0;
            break;
        }
        // The last line may be cut by the chunk's end: it is read again with the next chunk.
        DWORD distance = static_cast<DWORD>(buffer->lplnBuildTail->text - chunk);
        DropLastLine(buffer, chunk + chunkSize);
        if (distance == 0) {
            // Not one complete line in this chunk: take a larger one.
            if (!CanGrow(reader)) {
                return ReadOutcome::LineTooLong;
            }
            Grow(reader);
        } else {
            reader.limit = READ_CHUNK_SIZE;
        }
        reader.offset += distance;
        reader.remaining -= distance;
        if (lseek(reader.descriptor, reader.offset, SEEK_SET) != reader.offset) {
            return ReadOutcome::ReadError;
        }
    }
    return ReadOutcome::Done;
}

void ReportReadFailure(ReadOutcome outcome, const char* path) {
    switch (outcome) {
        case ReadOutcome::OutOfMemory:
            ReportOutOfMemory();
            break;
        case ReadOutcome::ReadError:
            EditorWarning(IDS_READ_ERROR);
            break;
        case ReadOutcome::NotText:
            EditorWarning(IDS_NOT_TEXT_FILE, path);
            break;
        case ReadOutcome::LineTooLong:
            EditorWarning(IDS_FILE_LINE_TOO_LONG, path);
            break;
        case ReadOutcome::Done:
            break;
    }
}

void StartEmptyTable(Buffer* buffer) {
    buffer->lplnFirst = nullptr;
    buffer->lplnBuildTail = nullptr;
    buffer->lineCount = 0;
}

}  // namespace

int ReadFile(Buffer* buffer, const char* path) {
    DWORD error = 0;
    int descriptor = ShareOpenFile(path, O_RDONLY | O_NONBLOCK, ShareMode::Exclusive, &error);
    if (descriptor < 0) {
        EditorWarning(IDS_UNABLE_TO_OPEN, path);
        return 0;
    }
    struct stat info;
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ShareCloseFile(descriptor);
        EditorWarning(IDS_UNABLE_TO_OPEN, path);
        return 0;
    }
    StartEmptyTable(buffer);
    buffer->lockHandle = 0;
    if (info.st_size == 0) {
        EditorTrace("ReadFile(): empty file");
        ShareCloseFile(descriptor);
        if (!ResetToEmptyLine(buffer)) {
            ReportOutOfMemory();
            return 0;
        }
        return 1;
    }
    ChunkReader reader{buffer, descriptor, static_cast<std::uint64_t>(info.st_size)};
    ReadOutcome outcome = ReadChunks(reader);
    if (outcome == ReadOutcome::Done && buffer->lplnFirst == nullptr) {
        outcome = ResetToEmptyLine(buffer) ? ReadOutcome::Done : ReadOutcome::OutOfMemory;
    }
    if (outcome != ReadOutcome::Done) {
        ShareCloseFile(descriptor);
        ReportReadFailure(outcome, path);
        StartEmptyTable(buffer);
        ResetToEmptyLine(buffer);
        return 0;
    }
    if (editorSettings.fileLocking) {
        buffer->lockHandle = descriptor;
    } else if (!ShareCloseFile(descriptor)) {
        EditorWarning(IDS_CLOSE_INPUT_ERROR);
    }
    return 1;
}
