// Writing a small file whole: the bytes go to a fresh file beside it, which then replaces it.
// A failed write leaves the old file as it was and no partial file behind.
#pragma once

#include <cstddef>

// Writes size bytes as path with the given permission bits (before the umask). Returns 1, or
// 0 when the file could not be created, written or closed (errno tells why).
int ReplaceFileContent(const char* path, const void* data, std::size_t size, unsigned mode);
