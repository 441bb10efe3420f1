// The lock an open file keeps while its buffer exists (with "File Locking" on): the file held
// open with exclusive sharing, so that no other of the system's editors opens it meanwhile.
#pragma once

#include "editor/core/buffer.h"

// Takes the lock on the buffer's path. Returns 1, or 0 (the handle is then 0).
int LockBuffer(Buffer* buffer);
// Releases it. Returns 1, or 0 when there was no lock or closing failed (the handle is kept).
int UnlockFile(Buffer* buffer);
