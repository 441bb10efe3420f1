// Paths of the editor on Linux: full path names, the parts of a path, the backup name, and
// the program's folders. The program state folder (autosave files, saved state) is the
// program's directory when it is writable, else $XDG_STATE_HOME/farvane, else
// ~/.local/state/farvane; tests point it elsewhere with SetStateFolder.
#pragma once

#include <cstddef>

// The directory of the editor's program file, ending in '/'.
const char* ProgramDirectory();
// The state folder, created on first use (no trailing '/'). Empty when none could be had.
const char* StateFolder();
// Overrides the state folder; null goes back to the default.
void SetStateFolder(const char* folder);

// An absolute path with ".", ".." and repeated slashes resolved (symbolic links are kept).
// Returns 1, or 0 for an empty path or one that does not fit.
int FullPathName(const char* path, char* out, std::size_t size);
// The part after the last '/'.
const char* FileNamePart(const char* path);
// The part up to the last '/' (without it; "/" for the root, "." when there is none).
void DirectoryPart(const char* path, char* out, std::size_t size);
// The backup name: the file name's extension (from its first dot, leading dots of a hidden
// file's name not counting) replaced by ".bak", in the same folder. When that would be the
// file itself (a file already named NAME.bak), ".bak" is appended instead. Returns 1 or 0.
int MakeBackupName(const char* path, char* out, std::size_t size);

bool PathExists(const char* path);
bool IsDirectory(const char* path);
// Both names reach the same file (same device and inode), or are equal strings.
bool SameFile(const char* a, const char* b);
