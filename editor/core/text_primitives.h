// The primitive text operations that all editing goes through. They act at the current
// window's dot in the current buffer, keep every window's positions on existing lines and
// within them, and refuse (beep and status message, text unchanged) an edit that would make a
// line longer than MAX_LINE_LENGTH. Each returns 1 on success and 0 when nothing changed.
#pragma once

#include "editor/core/edit_window.h"

// Inserts n characters at the dot and moves the dot after them.
int InsertChars(const char* text, DWORD n);
// Breaks the dot's line at the dot; the dot goes to the start of the new line. The tail keeps
// its storage (nothing is copied); positions of other windows on the tail follow it.
int SplitLine();
// Deletes the character at the dot (the dot must be before the end of its line).
int DeleteChar();
// Joins the dot's line with the next one; the dot stays.
int DeleteCR();
// Inserts NUL-terminated flat text: a carriage return splits the line, a line feed is
// skipped. Returns the number of dot movements that undoing it must delete backwards.
DWORD InsertText(const char* text);
