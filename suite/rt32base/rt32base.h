// Small run-time helpers of the suite: path, file and string operations that several programs
// share. Plain C-style functions taking NUL-terminated texts; none of them throws.
#pragma once

// Cuts the file name off `path` in place, keeping the directory and its trailing separator
// ("/opt/farvane/lib.so" becomes "/opt/farvane/"). Both '/' and '\\' count as separators. A
// path without a separator becomes empty. Returns `path`; a null path is returned as it is.
char* NameStripFile(char* path);

// Non-zero when `path` names an existing file that is not a directory.
int FileExists(const char* path);

// Renames `oldName` to `newName`. Like the platform's move, it refuses to replace an existing
// file. Returns 0 on success and -1 on failure (errno tells why).
int FileRename(const char* oldName, const char* newName);

// The first occurrence of `character` in `text`, or null (also for a null text and for the
// terminator itself).
char* RTstrchr(const char* text, int character);
