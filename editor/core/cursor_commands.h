// Cursor movement and selection commands. Each is a procedure without arguments acting on
// the current window, named as in the editor's command table; each pushes a U_MOVE undo
// record first and only changes positions and redraw bits (the display update then scrolls,
// repaints and places the caret).
#pragma once

#include "platform/kernel/win_types.h"

void cursor_left();
void cursor_right();
void cursor_up();
void cursor_down();
void select_char_left();
void select_char_right();
void select_line_up();
void select_line_down();
void word_left();
void word_right();
void select_word_left();
void select_word_right();
void beginning_of_line();
void end_of_line();
void select_to_bol();
void select_to_eol();
void beginning_of_buffer();
void end_of_buffer();
void select_to_top();
void select_to_end();
void select_all();
void select_line();
void page_up();
void page_down();
void select_page_up();
void select_page_down();
void top_of_window();
void bottom_of_window();
void window_up();
void window_down();
void to_top();
void to_center();
void to_bottom();
void unmark_block();
void select_word();
void goto_line();

// Moves the dot to the line numbered number (0-based), walking from the dot's line and
// stopping at the buffer's ends; the offset becomes 0. Beeps when the line does not exist.
// Returns whether it was reached.
BOOL MoveToLineNumber(DWORD number);
// Parses the Goto Line field: an unsigned decimal number kept to its low 16 bits. Returns the
// line number (1-based), or 0 when the field is not a number or its 16-bit value is 0.
WORD ParseGotoLineField(const char* text);
// The number last accepted by Goto Line (1 at start).
extern WORD lastGotoLine;
