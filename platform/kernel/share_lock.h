// Files opened with a share mode, the way the system's programs use exclusive opens as locks.
// The share mode becomes a flock lock on the open file (non-blocking): an exclusive mode takes
// LOCK_EX, a deny-write mode LOCK_SH, deny-none no lock. A conflicting holder - another
// process, or another open of the same file in this one - makes the open fail with
// ERROR_SHARING_VIOLATION. On Linux these locks are advisory: they hold between the system's
// own programs, while other programs can still open and change the file.
#pragma once

#include "platform/kernel/win_types.h"

enum class ShareMode { DenyNone, DenyWrite, Exclusive };

// Opens path with the open(2) flags (O_CLOEXEC is added) and mode for creation, then takes the
// share lock. Returns a descriptor above 0, or -1 with *error set (when error is not null) to
// ERROR_SHARING_VIOLATION, ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED or
// ERROR_INVALID_PARAMETER (anything else).
int ShareOpenFile(const char* path, int openFlags, ShareMode mode, DWORD* error,
                  unsigned createMode = 0666);
// Takes a share lock on a descriptor opened otherwise. Returns 1, or 0 with *error set.
int ShareLockDescriptor(int descriptor, ShareMode mode, DWORD* error);
// Closes the descriptor (which releases its lock). Returns 1, or 0 when closing failed.
int ShareCloseFile(int descriptor);
