// Line records, line numbers, columns and the redraw notification: the operations on the line
// table that do not change text.
#pragma once

#include "editor/core/edit_window.h"

// A zeroed line record from the buffer's heap, or null.
Line* NewLine(Buffer* buffer);
// Unlinks a line and gives its text and record back to the heap. Positions of the buffer's
// windows on it move to the next line's start, or, for the last line, to the end of the line
// before it; a lplnTop on it moves likewise. The buffer's only line is never freed.
void FreeLine(Buffer* buffer, Line* line);
// Numbers the current buffer's lines from 0, stores the count, clears RD_RENUMBER.
void RenumberLines();
// RenumberLines when the current window says the numbers are stale.
void RenumberIfNeeded();
// The line with this number, or null when the buffer has fewer lines.
Line* LineByNumber(Buffer* buffer, DWORD number);
Line* LastLine(Buffer* buffer);

// Display column of an offset: a tab advances to the next multiple of the tab size.
int ColumnOf(const EditWindow* window, const Line* line, WORD offset);
// Moves the dot along its line to the given display column (a straddling tab is stepped over
// whole) and records the column reached for the display.
void MoveToColumn(int column);
// The column the last MoveToColumn reached, valid while columnReachedValid is set (the display
// update clears it).
extern int columnReached;
extern BOOL columnReachedValid;

// Moves the current window's dot to offset 0 of the line with this number (the last line when
// the buffer is shorter), renumbering first when needed; RD_REFRAME when the line changes.
void MoveDotToLine(DWORD number);

// Sets the current buffer's modified bit and ORs bits into the redraw bits of its windows
// (RD_ALL too when it has more than one).
void NotifyViews(WORD bits);

// Ordering of positions by line number, then offset. Line numbers must be current.
bool PositionBefore(const Position& a, const Position& b);
bool PositionAtOrBefore(const Position& a, const Position& b);
bool PositionsEqual(const Position& a, const Position& b);
