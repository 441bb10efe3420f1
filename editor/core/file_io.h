// Whole reads and writes on descriptors, with a hook through which tests inject failures
// such as a full disk.
#pragma once

#include <cstddef>

#include <sys/types.h>

// When set, every write of the editor's files goes through it instead of write(2).
using EditorWriteHook = ssize_t (*)(int descriptor, const void* data, std::size_t size);
extern EditorWriteHook editorWriteHook;

// Writes all bytes (retrying partial writes); returns the number written, short on failure.
std::size_t WriteAll(int descriptor, const void* data, std::size_t size);
// Reads until size bytes or the end of the file; returns the count, or -1 on an error.
ssize_t ReadAll(int descriptor, void* data, std::size_t size);
