// Wrap Paragraph: refills the paragraph at the dot to the buffer's right margin.
#include "editor/core/command_state.h"
#include "editor/core/cursor_steps.h"
#include "editor/core/editing_commands.h"
#include "editor/core/lines.h"
#include "editor/core/text_primitives.h"
#include "editor/core/undo.h"

namespace {

// A paragraph starts after an empty line; the dot goes to the first line of its paragraph.
void ToParagraphStart() {
    PushUndo(U_MOVE);
    Line* line = pwinCurrent->dot.lpln;
    while (line->length == 0 && line->prev != nullptr) {
        line = line->prev;
    }
    if (line->prev != nullptr) {
        while (line->length != 0 && line->prev != nullptr) {
            line = line->prev;
        }
        if (line->length == 0 && line->next != nullptr) {
            line = line->next;
        }
    }
    pwinCurrent->dot = {line, 0};
    pwinCurrent->redraw |= RD_REFRAME;
}

void ToLineEnd() {
    EndMarking();
    pwinCurrent->dot.offset = static_cast<WORD>(pwinCurrent->dot.lpln->length);
}

// Breaks the dot's line at the margin, or joins the next line onto it while it is shorter.
void WrapLine(int margin) {
    for (;;) {
        ToLineEnd();
        Line* line = pwinCurrent->dot.lpln;
        if (DotColumn() >= margin) {
            PushUndo(U_MOVE);
            WORD end = pwinCurrent->dot.offset;
            WORD point = WrapPoint(end, margin);
            pwinCurrent->dot.offset = point;
            if (point != end) {
                PushUndo(U_NEWLINE);
                SplitLine();
                RenumberLines();
            } else if (line->next != nullptr) {
                pwinCurrent->dot = {line->next, 0};
            }
            pwinCurrent->redraw |= RD_ALL | RD_REFRAME;
            return;
        }
        Line* next = line->next;
        if (next == nullptr) {
            return;
        }
        if (next->length == 0) {
            StepRight();
            return;
        }
        if (line->length != 0 && line->text[line->length - 1] != ' ') {
            char space = ' ';
            PushUndo(U_INSCHAR);
            InsertChars(&space, 1);
        }
        PushUndo(U_JOIN);
        if (!DeleteCR()) {
            DiscardNewestUndo();
            return;
        }
        RenumberLines();
    }
}

}  // namespace

void wrap_para() {
    int margin = pbufCurrent->rightMargin;
    if (!(pbufCurrent->options & BF_WORDWRAP) || margin <= 0) {
        return;
    }
    WORD changes = pbufCurrent->changes;
    RenumberIfNeeded();
    ToParagraphStart();
    while (pwinCurrent->dot.lpln->length != 0) {
        Line* before = pwinCurrent->dot.lpln;
        WrapLine(margin);
        if (pwinCurrent->dot.lpln->next == nullptr) {
            // The last line is broken until its tail fits, not only once.
            Line* last;
            do {
                last = pwinCurrent->dot.lpln;
                WrapLine(margin);
            } while (pwinCurrent->dot.lpln != last && pwinCurrent->dot.lpln->length != 0);
            ToLineEnd();
            break;
        }
        // A line that could not be broken nor joined ends the walk.
        if (pwinCurrent->dot.lpln == before && DotAtLineEnd()) {
            break;
        }
    }
    pwinCurrent->redraw |= RD_ALL | RD_REFRAME;
    pbufCurrent->changes = static_cast<WORD>(changes + 1);
}
