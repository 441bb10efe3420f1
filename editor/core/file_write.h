// Writing buffers to files: the text format (every line followed by carriage return and line
// feed), unique names for temporary and autosave files, and the write step shared by save
// and autosave.
#pragma once

#include <cstddef>

#include "editor/core/buffer.h"

// Lines are staged and written in blocks of up to this size: large enough that writing costs
// few calls, and larger than any line, though a line that does not fit is written directly.
inline constexpr DWORD STAGING_SIZE = 262144;

// Writes the buffer's lines through a staging buffer; a line too long for it is written
// directly. Returns 1, or 0 when a write came up short.
int WriteLines(Buffer* buffer, int descriptor);

// A name in folder made of "~" and the tick count plus 1, cut to 8 characters, then the
// extension; the tick is increased until no file has the name. Returns 1 or 0.
int MakeUniqueName(const char* folder, const char* extension, char* name, std::size_t size);
// The temporary file name for a save of path: a unique ".tmp" name beside it.
int MakeTempName(const char* path, char* name, std::size_t size);
// Creates a file under a fresh unique name (never replacing one). Returns its descriptor and
// fills name, or -1.
int CreateUniqueFile(const char* folder, const char* extension, unsigned mode, char* name,
                     std::size_t size);

// Writes the lines to an open descriptor and closes it. A short write deletes the file and
// says "Disk full"; a failing close says "Error closing output file" and deletes it too.
// Returns 1 or 0.
int FinishBufferFile(Buffer* buffer, int descriptor, const char* name);
