// Operations on the marked block: the text between the current window's mark and dot.
#pragma once

#include "editor/core/edit_window.h"

// Largest flat block (size + 1) that the block commands handle.
inline constexpr DWORD MAX_BLOCK_TEXT = 65504;

// While marking: startblock and endblock become the mark and the dot in text order.
void NormalizeBlock();
// Flat size of the normalised block: a line break counts 2 (carriage return, line feed).
DWORD BlockSize();
// Copies the normalised block as flat text with a NUL; destination holds BlockSize() + 1.
void BlockText(char* destination);
// Deletes the normalised block; the dot goes to startblock. Returns 1, or 0 when the text
// could not be changed (out of memory, or the joined line would be too long).
int DeleteBlock();
// The command tail that removes the marked block with an undo record and counts one change.
// Returns 1 when deleted; an empty block only ends marking and returns 0.
int DeleteMarkedBlock();
