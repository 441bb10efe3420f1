// Writing a file whole: the content goes to a fresh temporary file beside it, which then
// replaces it with one rename. Readers see the old file or the new one, never a part, and a
// failure leaves the old file as it was and no temporary file behind.
#pragma once

#include <cstddef>
#include <functional>

struct ReplaceFileOptions {
    // Permission bits of a new file (less the umask); a file that exists keeps its own.
    unsigned mode = 0644;
    // Flushed to the disk before the rename, so that a crash leaves the old or the new
    // content; off for files that live only while programs run.
    bool durable = true;
};

// The step at which a replacement failed.
enum class ReplaceFileStep { None, Create, Write, Close, Rename };

// Writes the content through write, which gets the temporary file's descriptor and returns
// whether everything was written. Returns 1, or 0 with errno telling why and, when failed is
// given, the step that failed.
using FileContentWriter = std::function<bool(int descriptor)>;
int ReplaceFileContent(const char* path, const FileContentWriter& write,
                       const ReplaceFileOptions& options = {}, ReplaceFileStep* failed = nullptr);
// The same with the content in memory.
int ReplaceFileContent(const char* path, const void* data, std::size_t size,
                       const ReplaceFileOptions& options = {});
