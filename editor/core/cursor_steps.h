// The small moves that the cursor and editing commands are made of: stepping the dot one
// position, starting and ending a marked block, and moving the view (lplnTop) by lines.
#pragma once

#include "editor/core/edit_window.h"

// The character at the dot, or '\r' at the end of its line.
char CharAtDot();
bool DotAtLineEnd();
// Display column of the current window's dot.
int DotColumn();

// One position left (from offset 0 to the end of the previous line) or right (from the end of
// a line to the start of the next); crossing a line requests RD_REFRAME. False at the
// buffer's ends, where the dot stays.
bool StepLeft();
bool StepRight();

// Starts a block at the dot unless one is marked.
void StartMarking();
// Ends a marked block (the caret shows again); RD_ALL repaints its highlight away.
void EndMarking();
// Pushes a U_MOVE undo record, puts the dot at startblock and ends marking.
void Unmark();

// Moves the current window's lplnTop by lines (negative: back), stopping at the buffer's
// ends; requests RD_ALL and RD_VSCROLL when it moved. Returns the lines moved.
int ScrollView(int lines);
// The line count lines after (negative: before) line, stopping at the buffer's ends.
Line* LineOffsetBy(Line* line, int count);
// Row of the dot counted from lplnTop (negative when above it). Renumbers when needed.
int DotRow();

// Scrolls the view so that the dot's line is visible, using the reframe hint: above 0 the line
// goes to row hint - 1, below 0 to row rows + hint, 0 to the middle.
void reframe();
