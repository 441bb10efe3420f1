#include "editor/core/vertical_moves.h"

#include "editor/core/command_state.h"
#include "editor/core/cursor_steps.h"
#include "editor/core/lines.h"
#include "editor/core/ui_services.h"

void TakeGoalColumn() {
    // The column the user sees: where the cursor stood before this command moved the dot
    // (select_line and cursor_down over a block move it first).
    if (!fPrevVertical && !(commandFlags & CF_VERTICAL)) {
        goalColumn = pwinCurrent->cursorColumn + pwinCurrent->hscroll;
    }
    commandFlags |= CF_VERTICAL;
}

void PlaceAtGoal(Line* line) {
    if (line != pwinCurrent->dot.lpln) {
        pwinCurrent->redraw |= RD_REFRAME;
    }
    pwinCurrent->dot = {line, 0};
    MoveToColumn(goalColumn);
}

bool MoveLineUp() {
    Line* line = pwinCurrent->dot.lpln;
    if (line->prev == nullptr) {
        Ui().Beep();
        return false;
    }
    TakeGoalColumn();
    if (line == pwinCurrent->lplnTop) {
        ScrollView(-cursorScrollStep);
        cursorScrollStep = 2;
        fScrolledByCursor = 1;
    }
    PlaceAtGoal(line->prev);
    return true;
}

bool MoveLineDown() {
    Line* line = pwinCurrent->dot.lpln;
    if (line->next == nullptr) {
        Ui().Beep();
        return false;
    }
    TakeGoalColumn();
    if (DotRow() >= pwinCurrent->rows - 1) {
        ScrollView(cursorScrollStep);
        cursorScrollStep = 2;
        fScrolledByCursor = 1;
    }
    PlaceAtGoal(line->next);
    return true;
}

void ReframeIfScrolledAway() {
    if (fScrolledAway) {
        reframe();
    }
}
