// Page and window moves, vertical moves by line, and scrolling the view around the cursor.
#include "editor/core/command_state.h"
#include "editor/core/cursor_commands.h"
#include "editor/core/cursor_steps.h"
#include "editor/core/lines.h"
#include "editor/core/ui_services.h"
#include "editor/core/undo.h"
#include "editor/core/vertical_moves.h"

namespace {

int Rows() {
    return pwinCurrent->rows > 0 ? pwinCurrent->rows : 1;
}

void PageUp() {
    reframe();
    TakeGoalColumn();
    Line* first = pbufCurrent->lplnFirst;
    if (pwinCurrent->lplnTop == first) {
        pwinCurrent->dot = {first, 0};
        pwinCurrent->redraw |= RD_ALL | RD_VSCROLL | RD_REFRAME;
        return;
    }
    int row = DotRow();
    pwinCurrent->lplnTop = LineOffsetBy(pwinCurrent->lplnTop, -Rows());
    PlaceAtGoal(LineOffsetBy(pwinCurrent->lplnTop, row));
    pwinCurrent->redraw |= RD_ALL | RD_VSCROLL;
}

void PageDown() {
    reframe();
    TakeGoalColumn();
    Line* top = pwinCurrent->lplnTop;
    Line* below = LineOffsetBy(top, Rows());
    if (static_cast<int>(below->number - top->number) < Rows()) {
        Line* last = LastLine(pbufCurrent);
        pwinCurrent->dot = {last, static_cast<WORD>(last->length)};
        pwinCurrent->redraw |= RD_ALL | RD_VSCROLL | RD_REFRAME;
        return;
    }
    pwinCurrent->lplnTop = below;
    PlaceAtGoal(LineOffsetBy(pwinCurrent->dot.lpln, Rows()));
    pwinCurrent->redraw |= RD_ALL | RD_VSCROLL;
}

void ViewFromDot(int rowsAbove) {
    PushUndo(U_MOVE);
    pwinCurrent->lplnTop = LineOffsetBy(pwinCurrent->dot.lpln, -rowsAbove);
    pwinCurrent->redraw |= RD_ALL | RD_VSCROLL | RD_REFRAME;
}

}  // namespace

void page_up() {
    PushUndo(U_MOVE);
    EndMarking();
    RenumberIfNeeded();
    PageUp();
}

void page_down() {
    PushUndo(U_MOVE);
    EndMarking();
    RenumberIfNeeded();
    PageDown();
}

void select_page_up() {
    PushUndo(U_MOVE);
    StartMarking();
    RenumberIfNeeded();
    PageUp();
}

void select_page_down() {
    PushUndo(U_MOVE);
    StartMarking();
    RenumberIfNeeded();
    PageDown();
}

void top_of_window() {
    PushUndo(U_MOVE);
    EndMarking();
    int column = DotColumn();
    pwinCurrent->dot = {pwinCurrent->lplnTop, 0};
    MoveToColumn(column);
    pwinCurrent->redraw |= RD_REFRAME;
}

void bottom_of_window() {
    PushUndo(U_MOVE);
    EndMarking();
    int column = DotColumn();
    pwinCurrent->dot = {LineOffsetBy(pwinCurrent->lplnTop, Rows() - 1), 0};
    MoveToColumn(column);
    pwinCurrent->redraw |= RD_REFRAME;
}

void window_up() {
    if (pwinCurrent->dot.lpln->next == nullptr) {
        Ui().Beep();
        return;
    }
    cursor_down();
    ScrollView(1);
}

void window_down() {
    if (pwinCurrent->lplnTop->prev == nullptr) {
        Ui().Beep();
        return;
    }
    cursor_up();
    ScrollView(-1);
}

void to_top() {
    ViewFromDot(0);
}

void to_center() {
    ViewFromDot(Rows() / 2);
}

void to_bottom() {
    ViewFromDot(Rows() - 1);
}
