// Formatting a line into the character cells of one window row: tabs expanded, the
// horizontal scroll's columns skipped, the rest padded with spaces.
#pragma once

#include "editor/core/buffer.h"

inline constexpr int MAX_ROW_CELLS = 1023;

// Fills width cells (limited to MAX_ROW_CELLS) for line (null: a row past the buffer's end,
// all spaces). Returns the number of cells filled.
int FormatLine(const Line* line, int width, int hscroll, int tabSize, char* cells);
