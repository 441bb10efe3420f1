// How an edit moves the positions of every window on a buffer (lplnTop, dot, mark and the
// block ends): one routine per kind of change, so that each rule is written once. The text
// primitives call them; nothing else walks the window list to fix positions.
//
// Inserting characters moves no other window's position (offsets stay within the longer
// line). Joining two lines frees the second one: its positions move as for a freed line.
#pragma once

#include "editor/core/edit_window.h"

// Calls visit(window) for every window showing buffer, in window-list order.
template <typename Visit>
void ForEachWindowOn(const Buffer* buffer, Visit visit) {
    for (EditWindow* window = pwinFirst; window != nullptr; window = window->next) {
        if (window->buffer == buffer) {
            visit(window);
        }
    }
}

// The characters from start up to end of line were deleted: in every window a dot or mark
// on that line at or after start moves to start if it was before end, else left by the
// number deleted.
void MovePositionsForDeletion(const Buffer* buffer, const Line* line, WORD start, WORD end);
// line was split at offset, its text from there on now being tail: in every window a dot or
// mark past offset follows its text onto tail.
void MovePositionsForSplit(const Buffer* buffer, const Line* line, Line* tail, WORD offset);
// line is about to be freed: in every window lplnTop, dot, mark and the block ends on it move
// to its successor (offset 0), or for the last line to the end of its predecessor.
void MovePositionsOffFreedLine(const Buffer* buffer, const Line* line);
// The block from start to end, over several lines, is about to be deleted: in the windows on
// the buffer other than except, a dot or mark after start and at or before end moves to start
// (the dot's window reframes), and a window whose marked block collapses stops marking.
void MovePositionsOutOfBlock(const Buffer* buffer, const EditWindow* except, const Position& start,
                             const Position& end);
// The buffer's text was replaced: every window on it shows its first line, with every
// position at its start and no block marked.
void ResetPositions(const Buffer* buffer);
// One window's positions at the start of its buffer.
void PlaceAtStart(EditWindow* window);
