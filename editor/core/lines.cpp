#include "editor/core/lines.h"

#include <cstring>

#include "editor/core/private_heap.h"
#include "editor/core/trace.h"
#include "editor/core/window_positions.h"

int columnReached = 0;
BOOL columnReachedValid = 0;

Line* NewLine(Buffer* buffer) {
    Line* line = static_cast<Line*>(xalloc(buffer, sizeof(Line)));
    if (line != nullptr) {
        std::memset(line, 0, sizeof(Line));
    }
    return line;
}

void FreeLine(Buffer* buffer, Line* line) {
    Line* successor = line->next;
    Line* predecessor = line->prev;
    if (successor == nullptr && predecessor == nullptr) {
        EditorTrace("FreeLine: can't happen");
        return;
    }
    MovePositionsOffFreedLine(buffer, line);
    if (buffer->lplnFirst == line) {
        buffer->lplnFirst = successor;
    }
    if (buffer->lplnBuildTail == line) {
        buffer->lplnBuildTail = predecessor;
    }
    if (predecessor != nullptr) {
        predecessor->next = successor;
    }
    if (successor != nullptr) {
        successor->prev = predecessor;
    }
    xfree(buffer, line->text, line->capacity);
    xfree(buffer, line, sizeof(Line));
}

void RenumberLines() {
    if (pbufCurrent == nullptr) {
        return;
    }
    DWORD number = 0;
    for (Line* line = pbufCurrent->lplnFirst; line != nullptr; line = line->next) {
        line->number = number++;
    }
    pbufCurrent->lineCount = number;
    if (pwinCurrent != nullptr) {
        pwinCurrent->redraw &= static_cast<WORD>(~RD_RENUMBER);
    }
}

void RenumberIfNeeded() {
    if (pwinCurrent != nullptr && (pwinCurrent->redraw & RD_RENUMBER)) {
        RenumberLines();
    }
}

Line* LineByNumber(Buffer* buffer, DWORD number) {
    Line* line = buffer->lplnFirst;
    while (line != nullptr && number > 0) {
        line = line->next;
        --number;
    }
    return line;
}

Line* LastLine(Buffer* buffer) {
    Line* line = buffer->lplnFirst;
    while (line != nullptr && line->next != nullptr) {
        line = line->next;
    }
    return line;
}

int ColumnOf(const EditWindow* window, const Line* line, WORD offset) {
    int tabSize = window->buffer->tabSize > 0 ? window->buffer->tabSize : 1;
    int column = 0;
    DWORD end = offset < line->length ? offset : line->length;
    for (DWORD i = 0; i < end; ++i) {
        if (line->text[i] == '\t') {
            column = (column / tabSize + 1) * tabSize;
        } else {
            ++column;
        }
    }
    return column;
}

void MoveToColumn(int target) {
    Line* line = pwinCurrent->dot.lpln;
    int tabSize = pwinCurrent->buffer->tabSize > 0 ? pwinCurrent->buffer->tabSize : 1;
    int column = 0;
    DWORD offset = 0;
    while (column < target && offset < line->length) {
        if (line->text[offset] == '\t') {
            column = (column / tabSize + 1) * tabSize;
        } else {
            ++column;
        }
        ++offset;
    }
    pwinCurrent->dot.offset = static_cast<WORD>(offset);
    columnReached = column;
    columnReachedValid = 1;
}

void MoveDotToLine(DWORD number) {
    RenumberIfNeeded();
    Line* line = LineByNumber(pbufCurrent, number);
    if (line == nullptr) {
        line = LastLine(pbufCurrent);
    }
    if (line != pwinCurrent->dot.lpln) {
        pwinCurrent->redraw |= RD_REFRAME;
    }
    pwinCurrent->dot.lpln = line;
    pwinCurrent->dot.offset = 0;
}

void NotifyViews(WORD bits) {
    pbufCurrent->state |= BS_MODIFIED;
    if (pbufCurrent->windowCount > 1) {
        bits |= RD_ALL;
    }
    ForEachWindowOn(pbufCurrent, [bits](EditWindow* window) { window->redraw |= bits; });
}

bool PositionBefore(const Position& a, const Position& b) {
    if (a.lpln->number != b.lpln->number) {
        return a.lpln->number < b.lpln->number;
    }
    return a.offset < b.offset;
}

bool PositionAtOrBefore(const Position& a, const Position& b) {
    if (a.lpln->number != b.lpln->number) {
        return a.lpln->number < b.lpln->number;
    }
    return a.offset <= b.offset;
}

bool PositionsEqual(const Position& a, const Position& b) {
    return a.lpln == b.lpln && a.offset == b.offset;
}
