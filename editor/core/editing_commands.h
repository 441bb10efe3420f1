// Editing commands: typing, tab, new lines, deletion, case changes, the clipboard, word wrap
// and the Time/Date stamp. Each is a procedure without arguments (the typed character and the
// insert-text request take theirs) acting at the current window's dot, named as in the
// editor's command table, preceded by the undo records that reverse it.
#pragma once

#include <ctime>

#include "platform/kernel/win_types.h"

// A character typed into the document window.
void TypeCharacter(char c);
// The insert-text request: flat text inserted as one undoable insertion.
void InsertTextRequest(const char* text);

void tab_right();
void enter();
void split_line();
void backspace();
void delete_char();  // the command table's "delete"
void delete_line();
void delete_to_eol();
void delete_word_left();
void delete_word_right();
void uppercase();
void lowercase();
void change_case();
void copy();
void copy_line();
void cut();
void cut_line();
void paste();
void cut_block_command();   // the command table's "cut_block"
void copy_block_command();  // the command table's "copy_block"
void toggle_insert();
void toggle_wordwrap();
void wrap_para();
void stamp();

// Copies the marked block to the clipboard. Returns its size with the NUL, or 0 when nothing
// was copied (no block, too big, out of memory).
DWORD copy_block();
// copy_block, then deletes the block as one undoable step.
DWORD cut_block();

// The clock of the Time/Date command (tests set a fixed one).
extern std::time_t (*stampClock)();

// What a typed character, tab, enter, paste and stamp do first with a marked block: delete it
// with "&Typing Replaces Selection" on, else unmark it.
void ReplaceOrUnmarkBlock();
// The dot's offset after stepping back whole words from offset until the column is below
// margin, as word wrap breaks a line; offset itself when the line cannot be broken.
WORD WrapPoint(WORD offset, int margin);
