#include "editor/core/cursor_steps.h"

#include "editor/core/block_ops.h"
#include "editor/core/command_state.h"
#include "editor/core/lines.h"
#include "editor/core/trace.h"
#include "editor/core/undo.h"

char CharAtDot() {
    const Position& dot = pwinCurrent->dot;
    return dot.offset < dot.lpln->length ? dot.lpln->text[dot.offset] : '\r';
}

bool DotAtLineEnd() {
    return pwinCurrent->dot.offset >= pwinCurrent->dot.lpln->length;
}

int DotColumn() {
    return ColumnOf(pwinCurrent, pwinCurrent->dot.lpln, pwinCurrent->dot.offset);
}

bool StepLeft() {
    Position& dot = pwinCurrent->dot;
    if (dot.offset > dot.lpln->length) {
        dot.offset = static_cast<WORD>(dot.lpln->length);
    }
    if (dot.offset > 0) {
        --dot.offset;
        return true;
    }
    if (dot.lpln->prev == nullptr) {
        return false;
    }
    dot.lpln = dot.lpln->prev;
    dot.offset = static_cast<WORD>(dot.lpln->length);
    pwinCurrent->redraw |= RD_REFRAME;
    return true;
}

bool StepRight() {
    Position& dot = pwinCurrent->dot;
    if (dot.offset < dot.lpln->length) {
        ++dot.offset;
        return true;
    }
    if (dot.lpln->next == nullptr) {
        return false;
    }
    dot.lpln = dot.lpln->next;
    dot.offset = 0;
    pwinCurrent->redraw |= RD_REFRAME;
    return true;
}

void StartMarking() {
    if (!pwinCurrent->marking) {
        pwinCurrent->marking = 1;
        pwinCurrent->mark = pwinCurrent->dot;
    }
}

void EndMarking() {
    if (pwinCurrent->marking) {
        pwinCurrent->marking = 0;
        pwinCurrent->redraw |= RD_ALL;
    }
    pwinCurrent->mark = pwinCurrent->dot;
}

void Unmark() {
    PushUndo(U_MOVE);
    if (pwinCurrent->marking) {
        NormalizeBlock();
        pwinCurrent->dot = pwinCurrent->startblock;
        pwinCurrent->redraw |= RD_REFRAME;
    }
    EndMarking();
}

Line* LineOffsetBy(Line* line, int count) {
    for (; count > 0 && line->next != nullptr; --count) {
        line = line->next;
    }
    for (; count < 0 && line->prev != nullptr; ++count) {
        line = line->prev;
    }
    return line;
}

int ScrollView(int lines) {
    Line* top = pwinCurrent->lplnTop;
    int moved = 0;
    for (; lines > 0 && top->next != nullptr; --lines, ++moved) {
        top = top->next;
    }
    for (; lines < 0 && top->prev != nullptr; ++lines, --moved) {
        top = top->prev;
    }
    if (moved != 0) {
        pwinCurrent->lplnTop = top;
        pwinCurrent->redraw |= RD_ALL | RD_VSCROLL;
    }
    return moved;
}

int DotRow() {
    RenumberIfNeeded();
    return static_cast<int>(pwinCurrent->dot.lpln->number) -
           static_cast<int>(pwinCurrent->lplnTop->number);
}

void reframe() {
    EditWindow* window = pwinCurrent;
    if (window->lplnTop == nullptr) {
        EditorTrace("reframe(): pwinCurrent->lplnTop is NULL");
        return;
    }
    if (window->dot.lpln == nullptr) {
        EditorTrace("reframe(): pwinCurrent->dot.lpln is NULL");
        return;
    }
    fScrolledAway = 0;
    int rows = window->rows > 0 ? window->rows : 1;
    int row = DotRow();
    if (row >= 0 && row < rows) {
        return;
    }
    int target;
    if (window->reframeHint > 0) {
        target = window->reframeHint - 1 < rows - 1 ? window->reframeHint - 1 : rows - 1;
    } else if (window->reframeHint < 0) {
        target = rows + window->reframeHint > 0 ? rows + window->reframeHint : 0;
    } else {
        target = rows / 2;
    }
    window->lplnTop = LineOffsetBy(window->dot.lpln, -target);
    window->redraw |= RD_ALL | RD_VSCROLL | RD_REFRAME;
    window->reframeHint = 0;
}
