#include "editor/core/window_positions.h"

#include <initializer_list>

#include "editor/core/lines.h"
#include "editor/core/trace.h"

namespace {

void MoveOffFreedLine(Position& position, const Line* line, Line* successor, Line* predecessor) {
    if (position.lpln != line) {
        return;
    }
    if (successor != nullptr) {
        position.lpln = successor;
        position.offset = 0;
    } else {
        position.lpln = predecessor;
        position.offset = static_cast<WORD>(predecessor->length);
    }
}

}  // namespace

void MovePositionsForDeletion(const Buffer* buffer, const Line* line, WORD start, WORD end) {
    WORD removed = static_cast<WORD>(end - start);
    ForEachWindowOn(buffer, [&](EditWindow* window) {
        for (Position* position : {&window->dot, &window->mark}) {
            if (position->lpln != line || position->offset < start) {
                continue;
            }
            position->offset =
                position->offset < end ? start : static_cast<WORD>(position->offset - removed);
        }
    });
}

void MovePositionsForSplit(const Buffer* buffer, const Line* line, Line* tail, WORD offset) {
    ForEachWindowOn(buffer, [&](EditWindow* window) {
        for (Position* position : {&window->dot, &window->mark}) {
            if (position->lpln == line && position->offset > offset) {
                position->lpln = tail;
                position->offset = static_cast<WORD>(position->offset - offset);
            }
        }
    });
}

void MovePositionsOffFreedLine(const Buffer* buffer, const Line* line) {
    Line* successor = line->next;
    Line* predecessor = line->prev;
    ForEachWindowOn(buffer, [&](EditWindow* window) {
        if (window->lplnTop == line) {
            window->lplnTop = successor != nullptr ? successor : predecessor;
        }
        for (Position* position :
             {&window->dot, &window->mark, &window->startblock, &window->endblock}) {
            MoveOffFreedLine(*position, line, successor, predecessor);
        }
    });
}

void MovePositionsOutOfBlock(const Buffer* buffer, const EditWindow* except, const Position& start,
                             const Position& end) {
    if (buffer->windowCount <= 1) {
        return;
    }
    ForEachWindowOn(buffer, [&](EditWindow* window) {
        if (window == except) {
            return;
        }
        if (PositionBefore(start, window->dot) && PositionAtOrBefore(window->dot, end)) {
            EditorTrace("moving dot to startblock");
            window->dot = start;
            window->redraw |= RD_REFRAME;
        }
        if (PositionBefore(start, window->mark) && PositionAtOrBefore(window->mark, end)) {
            EditorTrace("moving mark to startblock");
            window->mark = start;
        }
        if (window->marking && PositionsEqual(window->dot, window->mark)) {
            window->marking = 0;
            window->redraw |= RD_ALL;
        }
    });
}

void PlaceAtStart(EditWindow* window) {
    Line* first = window->buffer->lplnFirst;
    window->lplnTop = first;
    window->dot = {first, 0};
    window->mark = window->dot;
    window->startblock = window->dot;
    window->endblock = window->dot;
}

void ResetPositions(const Buffer* buffer) {
    ForEachWindowOn(buffer, [](EditWindow* window) {
        PlaceAtStart(window);
        window->redraw |= RD_ALL | RD_VSCROLL | RD_REFRAME;
        window->marking = 0;
    });
}
