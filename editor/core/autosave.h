// Autosave: a copy of a modified buffer in the program's state folder, written after a number
// of changes or after a time, so that work survives a crash. A save deletes it.
#pragma once

#include "editor/core/buffer.h"

// Writes the buffer's autosave file (the header line, then the text). Returns 1 or 0.
int Autosave(Buffer* buffer);
// The checks run after every handled message and on the timer.
void CheckAutosave();
// Deletes the buffer's autosave file, if it has one, and forgets its name.
void DeleteAutosaveFile(Buffer* buffer);
