// Mouse input on the current document window: pixel positions to text positions, selection
// by dragging, and the double click.
#pragma once

#include "editor/core/edit_window.h"

// Row and display column (without the horizontal scroll) under a client-area point.
int RowAtPoint(const EditWindow* window, int y);
int ColumnAtPoint(int x);
// The text position at the point: the line at the row (the end of the last line when the
// buffer ends above it) and the offset reached at column + horizontal scroll.
Position PositionAtPoint(EditWindow* window, int x, int y);

void MouseDown(int x, int y, bool shift);
// With the button down. Below the last row the view scrolls by up to 2 lines per step while
// stillHeld says the pointer stays there (the windowed editor: no mouse message waiting);
// each step runs the display update.
void MouseMove(int x, int y, bool (*stillHeld)() = nullptr);
void MouseUp();
void MouseDoubleClick(int x, int y);
