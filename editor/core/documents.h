// Opening documents and the file commands that bring text in or write part of it out:
// new_file, open_file, Insert file, Write Block and revert.
#pragma once

#include "editor/core/edit_window.h"

// Set after start-up created its untitled buffer: the first file opened takes its window.
extern BOOL fStartupBuffer;
// The counter behind "Untitled-%d".
extern int untitledCounter;

// Opens path in a new buffer and window (or in the start-up window), moves the dot to the
// 0-based line and the column offset, and with activate gives the window the focus.
// Returns 1 or 0.
int OpenDocument(const char* path, DWORD line, DWORD column, bool activate);
// A new empty untitled document.
int new_file();
// Asks for a file and opens it; a file already open brings its window to the top instead.
int open_file();
// Asks for a file and inserts its text at the dot, as one undoable insertion.
int insert_file();
// Inserts the file's text at the dot. Returns the count of characters and line breaks
// inserted, or -1 when the file cannot be opened.
long InsertFileText(const char* path);
// Asks for a file name and writes the marked block to it.
int write_block();
// Writes the normalised block of the current window to path. Returns 1 or 0.
int WriteBlockFile(const char* path);
// Re-reads the current buffer from its file.
int revert();
