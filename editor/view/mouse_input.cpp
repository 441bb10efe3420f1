#include "editor/view/mouse_input.h"

#include "editor/core/command_state.h"
#include "editor/core/cursor_commands.h"
#include "editor/core/cursor_steps.h"
#include "editor/core/lines.h"
#include "editor/core/undo.h"
#include "editor/view/display_update.h"
#include "editor/view/view_metrics.h"

namespace {

bool dragging = false;

// Puts the dot at the row's line (end of the last line when the buffer ends earlier) and the
// display column.
void PlaceDot(int row, int column) {
    EditWindow* window = pwinCurrent;
    Line* line = window->lplnTop;
    int reached = 0;
    while (reached < row && line->next != nullptr) {
        line = line->next;
        ++reached;
    }
    window->dot = {line, 0};
    if (reached < row) {
        window->dot.offset = static_cast<WORD>(line->length);
        return;
    }
    MoveToColumn(column + window->hscroll);
}

}  // namespace

int RowAtPoint(const EditWindow* window, int y) {
    int row = y >= 0 ? y / viewMetrics.lineHeight : 0;
    return row < window->rows - 1 ? row : (window->rows > 0 ? window->rows - 1 : 0);
}

int ColumnAtPoint(int x) {
    const ViewMetrics& m = viewMetrics;
    int shifted = x - m.leftMargin;
    if (m.caret == CaretShape::VerticalBar) {
        shifted += m.charWidth / 2;
    }
    return shifted > 0 ? shifted / m.charWidth : 0;
}

Position PositionAtPoint(EditWindow* window, int x, int y) {
    EditWindow* saved = pwinCurrent;
    Position dot = window->dot;
    SetCurrentWindow(window);
    PlaceDot(RowAtPoint(window, y), ColumnAtPoint(x));
    Position result = window->dot;
    window->dot = dot;
    SetCurrentWindow(saved);
    return result;
}

void MouseDown(int x, int y, bool shift) {
    fMouseSelecting = 1;
    dragging = true;
    PushUndo(U_MOVE);
    if (shift) {
        StartMarking();
    } else if (pwinCurrent->marking) {
        pwinCurrent->marking = 0;
        pwinCurrent->redraw |= RD_ALL;
    }
    PlaceDot(RowAtPoint(pwinCurrent, y), ColumnAtPoint(x));
    pwinCurrent->redraw |= RD_REFRAME;
}

void MouseMove(int x, int y, bool (*stillHeld)()) {
    if (!fMouseSelecting || !dragging) {
        return;
    }
    StartMarking();
    EditWindow* window = pwinCurrent;
    int column = ColumnAtPoint(x);
    // Above the window counts as its first row.
    int rowPixels = y < 0 ? 0 : y;
    if (rowPixels / viewMetrics.lineHeight < window->rows) {
        Position before = window->dot;
        PlaceDot(RowAtPoint(window, rowPixels), column);
        if (!PositionsEqual(before, window->dot)) {
            window->redraw |= before.lpln == window->dot.lpln ? RD_LINE : RD_ALL;
        }
        return;
    }
    // Below the last row: scroll while the pointer stays there.
    do {
        if (window->dot.lpln->next == nullptr) {
            break;
        }
        ScrollView(2);
        PlaceDot(window->rows - 1, column);
        DisplayUpdate();
    } while (stillHeld != nullptr && stillHeld());
}

void MouseUp() {
    fMouseSelecting = 0;
    dragging = false;
}

void MouseDoubleClick(int x, int y) {
    (void)x;
    (void)y;
    PushUndo(U_MOVE);
    char c = CharAtDot();
    if (!DotAtLineEnd() && IsBlank(c)) {
        Position& dot = pwinCurrent->dot;
        while (dot.offset > 0 && IsBlank(CharAtDot())) {
            --dot.offset;
        }
        if (!IsBlank(CharAtDot())) {
            ++dot.offset;
        }
        StartMarking();
        while (!DotAtLineEnd() && IsBlank(CharAtDot())) {
            ++dot.offset;
        }
        pwinCurrent->redraw |= RD_LINE;
        return;
    }
    select_word();
}
