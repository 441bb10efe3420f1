// Reading a text file into a buffer's line table. The file is read in chunks of the buffer's
// heap that stay in place: lines point into them and are copied only when they grow.
#pragma once

#include "editor/core/buffer.h"

inline constexpr DWORD READ_CHUNK_SIZE = 32768;
// Largest chunk: a line of MAX_LINE_LENGTH, its line end, at least one more byte and a NUL,
// so that a chunk this size that is not the file's last always holds a complete line.
inline constexpr DWORD MAX_READ_CHUNK = MAX_LINE_LENGTH + 5;
// Up to this many bytes without a line end are taken for text.
inline constexpr DWORD TEXT_TEST_SIZE = 512;

// Fills the buffer from the file, replacing its lines. The file is opened with exclusive
// sharing and, with file locking on, stays open as the buffer's lock. On failure the user has
// been told why, and the buffer holds one empty line. Returns 1 or 0.
int ReadFile(Buffer* buffer, const char* path);

// Appends line records for text that stays in place, split at lineEnd (a carriage return
// also swallows a line feed after it). Returns 1; 0 when memory runs out; -1 when a line is
// longer than MAX_LINE_LENGTH.
int BuildLineTable(Buffer* buffer, char* text, DWORD length, char lineEnd);
