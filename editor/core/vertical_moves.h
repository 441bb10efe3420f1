// Moves between lines that keep the goal column: shared by the line, page and selection
// commands.
#pragma once

#include "editor/core/edit_window.h"

// Takes the goal column from the cursor as the last display update showed it (cursor column
// plus horizontal scroll) unless the previous command was a vertical move, and flags this
// command as one.
void TakeGoalColumn();
// Puts the dot on line at the goal column.
void PlaceAtGoal(Line* line);
// The moves of cursor_up and cursor_down without their block handling. They beep and return
// false at the buffer's ends.
bool MoveLineUp();
bool MoveLineDown();
// Runs reframe when the scroll bar moved the view away from the cursor.
void ReframeIfScrolledAway();
