// Deleting characters, words, lines and line ends.
#include "editor/core/block_ops.h"
#include "editor/core/command_state.h"
#include "editor/core/cursor_steps.h"
#include "editor/core/editing_commands.h"
#include "editor/core/lines.h"
#include "editor/core/text_primitives.h"
#include "editor/core/undo.h"

namespace {

// Deletes the character at the dot, or joins the next line at the end of a line.
void DeleteAtDot() {
    if (DotAtLineEnd()) {
        if (pwinCurrent->dot.lpln->next == nullptr) {
            return;
        }
        PushUndo(U_JOIN);
        if (!DeleteCR()) {
            DiscardNewestUndo();
            return;
        }
        RenumberLines();
    } else {
        PushUndo(U_DELCHAR);
        DeleteChar();
    }
}

// Deletes the block from the mark to the dot; an empty one only ends marking. A command
// built on the block deletion counts one change of its own besides the deletion's.
void DeleteMarkedRange() {
    if (DeleteMarkedBlock()) {
        ++pbufCurrent->changes;
    }
}

void SkipBlanksRight() {
    while (!DotAtLineEnd() && IsBlank(CharAtDot())) {
        ++pwinCurrent->dot.offset;
    }
}

}  // namespace

void backspace() {
    if (pwinCurrent->marking) {
        if (DeleteMarkedBlock()) {
            ++pbufCurrent->changes;
        }
        return;
    }
    PushUndo(U_MOVE);
    if (!StepLeft()) {
        return;
    }
    DeleteAtDot();
    ++pbufCurrent->changes;
}

void delete_char() {
    if (pwinCurrent->marking) {
        if (DeleteMarkedBlock()) {
            ++pbufCurrent->changes;
        }
        return;
    }
    PushUndo(U_MOVE);
    DeleteAtDot();
    ++pbufCurrent->changes;
}

void delete_line() {
    EndMarking();
    PushUndo(U_MOVE);
    pwinCurrent->dot.offset = 0;
    StartMarking();
    Line* line = pwinCurrent->dot.lpln;
    if (line->next != nullptr) {
        pwinCurrent->dot = {line->next, 0};
    } else {
        pwinCurrent->dot.offset = static_cast<WORD>(line->length);
    }
    DeleteMarkedRange();
}

void delete_to_eol() {
    PushUndo(U_MOVE);
    StartMarking();
    pwinCurrent->dot.offset = static_cast<WORD>(pwinCurrent->dot.lpln->length);
    pwinCurrent->redraw |= RD_LINE;
    DeleteMarkedRange();
}

void delete_word_right() {
    EndMarking();
    PushUndo(U_MOVE);
    StartMarking();
    if (!DotAtLineEnd() && IsWordChar(CharAtDot())) {
        while (!DotAtLineEnd() && IsWordChar(CharAtDot())) {
            ++pwinCurrent->dot.offset;
        }
    } else {
        StepRight();
    }
    SkipBlanksRight();
    DeleteMarkedRange();
}

void delete_word_left() {
    if (pwinCurrent->dot.offset == 0) {
        backspace();
        return;
    }
    EndMarking();
    PushUndo(U_MOVE);
    StartMarking();
    Position& dot = pwinCurrent->dot;
    --dot.offset;
    if (IsWordChar(CharAtDot())) {
        while (dot.offset > 0 && IsWordChar(CharAtDot())) {
            --dot.offset;
        }
        if (!IsWordChar(CharAtDot())) {
            ++dot.offset;
        }
    } else {
        while (dot.offset > 0 && IsBlank(CharAtDot())) {
            --dot.offset;
        }
        if (IsWordChar(CharAtDot())) {
            ++dot.offset;
        }
    }
    DeleteMarkedRange();
}
