// Character, word, line-end and buffer-end moves, plain and selecting.
#include "editor/core/cursor_commands.h"

#include "editor/core/block_ops.h"
#include "editor/core/command_state.h"
#include "editor/core/cursor_steps.h"
#include "editor/core/lines.h"
#include "editor/core/trace.h"
#include "editor/core/ui_services.h"
#include "editor/core/undo.h"
#include "editor/core/vertical_moves.h"

namespace {

void ToBlockEnd() {
    if (pwinCurrent->marking) {
        NormalizeBlock();
        pwinCurrent->dot = pwinCurrent->endblock;
        pwinCurrent->redraw |= RD_REFRAME;
        EndMarking();
    }
}

bool WordAtDot() {
    return !DotAtLineEnd() && IsWordChar(CharAtDot());
}

void MoveWordRight() {
    if (WordAtDot()) {
        while (WordAtDot()) {
            StepRight();
        }
        while (!DotAtLineEnd() && !IsWordChar(CharAtDot())) {
            StepRight();
        }
        return;
    }
    // The first step may cross the line break; later ones stop at the line's end.
    if (!StepRight()) {
        return;
    }
    while (!DotAtLineEnd() && !IsWordChar(CharAtDot())) {
        StepRight();
    }
}

void MoveWordLeft() {
    if (!StepLeft()) {
        return;
    }
    while (!DotAtLineEnd() && !IsWordChar(CharAtDot())) {
        if (pwinCurrent->dot.offset == 0) {
            if (!StepLeft()) {
                return;
            }
            break;
        }
        StepLeft();
    }
    if (DotAtLineEnd()) {
        return;
    }
    Position& dot = pwinCurrent->dot;
    while (dot.offset > 0 && IsWordChar(CharAtDot())) {
        --dot.offset;
    }
    if (!IsWordChar(CharAtDot())) {
        ++dot.offset;
    }
}

void ToBufferStart() {
    Line* first = pbufCurrent->lplnFirst;
    pwinCurrent->dot = {first, 0};
    pwinCurrent->lplnTop = first;
    pwinCurrent->redraw |= RD_ALL | RD_VSCROLL | RD_REFRAME;
}

void ToBufferEnd() {
    Line* last = LastLine(pbufCurrent);
    pwinCurrent->dot = {last, static_cast<WORD>(last->length)};
    pwinCurrent->redraw |= RD_ALL | RD_VSCROLL | RD_REFRAME;
}

}  // namespace

void cursor_left() {
    PushUndo(U_MOVE);
    reframe();
    if (pwinCurrent->marking) {
        NormalizeBlock();
        pwinCurrent->dot = pwinCurrent->startblock;
        pwinCurrent->redraw |= RD_REFRAME;
        EndMarking();
    } else {
        StepLeft();
    }
    pwinCurrent->reframeHint = 1;
}

void cursor_right() {
    PushUndo(U_MOVE);
    reframe();
    if (pwinCurrent->marking) {
        ToBlockEnd();
    } else {
        StepRight();
    }
    pwinCurrent->reframeHint = -1;
}

void cursor_up() {
    PushUndo(U_MOVE);
    ReframeIfScrolledAway();
    if (pwinCurrent->marking) {
        Unmark();
    }
    MoveLineUp();
}

void cursor_down() {
    PushUndo(U_MOVE);
    ReframeIfScrolledAway();
    ToBlockEnd();
    MoveLineDown();
}

void select_char_left() {
    PushUndo(U_MOVE);
    StartMarking();
    Line* before = pwinCurrent->dot.lpln;
    StepLeft();
    pwinCurrent->redraw |= before == pwinCurrent->dot.lpln ? RD_LINE : RD_ALL;
}

void select_char_right() {
    PushUndo(U_MOVE);
    StartMarking();
    Line* before = pwinCurrent->dot.lpln;
    StepRight();
    pwinCurrent->redraw |= before == pwinCurrent->dot.lpln ? RD_LINE : RD_ALL;
}

void select_line_up() {
    PushUndo(U_MOVE);
    reframe();
    StartMarking();
    MoveLineUp();
    pwinCurrent->redraw |= RD_ALL;
}

void select_line_down() {
    PushUndo(U_MOVE);
    reframe();
    StartMarking();
    MoveLineDown();
    pwinCurrent->redraw |= RD_ALL;
}

void word_right() {
    PushUndo(U_MOVE);
    reframe();
    EndMarking();
    MoveWordRight();
}

void word_left() {
    PushUndo(U_MOVE);
    reframe();
    EndMarking();
    MoveWordLeft();
}

void select_word_right() {
    PushUndo(U_MOVE);
    StartMarking();
    MoveWordRight();
    pwinCurrent->redraw |= RD_ALL;
}

void select_word_left() {
    PushUndo(U_MOVE);
    StartMarking();
    MoveWordLeft();
    pwinCurrent->redraw |= RD_ALL;
}

void beginning_of_line() {
    PushUndo(U_MOVE);
    reframe();
    EndMarking();
    pwinCurrent->dot.offset = 0;
}

void end_of_line() {
    PushUndo(U_MOVE);
    reframe();
    EndMarking();
    pwinCurrent->dot.offset = static_cast<WORD>(pwinCurrent->dot.lpln->length);
}

void select_to_bol() {
    PushUndo(U_MOVE);
    reframe();
    StartMarking();
    pwinCurrent->dot.offset = 0;
    pwinCurrent->redraw |= RD_LINE;
}

void select_to_eol() {
    PushUndo(U_MOVE);
    reframe();
    StartMarking();
    pwinCurrent->dot.offset = static_cast<WORD>(pwinCurrent->dot.lpln->length);
    pwinCurrent->redraw |= RD_LINE;
}

void beginning_of_buffer() {
    PushUndo(U_MOVE);
    EndMarking();
    ToBufferStart();
}

void end_of_buffer() {
    PushUndo(U_MOVE);
    EndMarking();
    ToBufferEnd();
}

void select_to_top() {
    PushUndo(U_MOVE);
    StartMarking();
    ToBufferStart();
}

void select_to_end() {
    PushUndo(U_MOVE);
    StartMarking();
    ToBufferEnd();
}

void select_all() {
    beginning_of_buffer();
    select_to_end();
}

void select_line() {
    if (pwinCurrent->dot.lpln->next == nullptr) {
        end_of_line();
        select_to_bol();
        return;
    }
    PushUndo(U_MOVE);
    EndMarking();
    pwinCurrent->dot = {pwinCurrent->dot.lpln->next, 0};
    select_line_up();
}

void unmark_block() {
    if (!pwinCurrent->marking) {
        return;
    }
    PushUndo(U_MOVE);
    Position mark = pwinCurrent->mark;
    EndMarking();
    pwinCurrent->dot = mark;
    pwinCurrent->mark = mark;
    pwinCurrent->redraw |= RD_REFRAME;
}

void select_word() {
    if (DotAtLineEnd() || !IsWordChar(CharAtDot())) {
        return;
    }
    EditorTrace("select_word");
    PushUndo(U_MOVE);
    Position& dot = pwinCurrent->dot;
    while (dot.offset > 0 && IsWordChar(CharAtDot())) {
        --dot.offset;
    }
    if (!IsWordChar(CharAtDot())) {
        ++dot.offset;
    }
    StartMarking();
    while (!DotAtLineEnd() && IsWordChar(CharAtDot())) {
        ++dot.offset;
    }
    pwinCurrent->redraw |= RD_LINE;
}
