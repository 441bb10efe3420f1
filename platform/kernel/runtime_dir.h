// The per-user runtime folder where objects shared between the system's processes live, and
// the escaping that turns any object name into a safe file name inside it.
#pragma once

#include <string>
#include <string_view>

// The runtime folder: $FARVANE_RUNTIME_DIR if set, else $XDG_RUNTIME_DIR/farvane, else
// /tmp/farvane-UID; it must be an absolute path. Created with mode 0700 when missing. A folder that
// is not a real directory (a symbolic link, a file) or that belongs to another user is refused.
// Returns the path without a trailing slash, or an empty string when there is no usable folder.
std::string KernelRuntimeDirectory();

// Turns an object name into a file name: every byte outside [A-Za-z0-9_-] becomes %XX (upper
// case hex), so no name can contain '/', '.' or '..' and reach outside the folder, and two
// different names never meet. Names whose escaped form is longer than 160 bytes keep their
// first 160 escaped bytes followed by '~' and a 64-bit hash of the whole name, so that every
// name fits in a file name ('~' never appears in an escaped name, so short names stay apart).
std::string KernelEscapeName(std::string_view name);
