#include "editor/view/display_update.h"

#include "editor/core/autosave.h"
#include "editor/core/command_state.h"
#include "editor/core/cursor_steps.h"
#include "editor/core/editor_settings.h"
#include "editor/core/lines.h"
#include "editor/core/trace.h"
#include "editor/core/undo.h"
#include "editor/view/view_metrics.h"

BOOL fMouseSelecting = 0;

namespace {

CountingPainter defaultPainter;
ViewPainter* currentPainter = nullptr;

void UpdateOtherWindows() {
    if (pbufCurrent->windowCount <= 1) {
        return;
    }
    EditorTrace("UpdateOtherWindows");
    for (EditWindow* window = pwinFirst; window != nullptr; window = window->next) {
        if (window != pwinCurrent && window->buffer == pbufCurrent) {
            Painter().RepaintWindow(window);
        }
    }
}

bool DotVisible(const EditWindow* window) {
    int row =
        static_cast<int>(window->dot.lpln->number) - static_cast<int>(window->lplnTop->number);
    return row >= 0 && row < window->rows;
}

}  // namespace

void CountingPainter::RepaintWindow(EditWindow* window) {
    if (window == pwinCurrent) {
        ++counts.windowRepaints;
    } else {
        ++counts.otherWindowRepaints;
    }
}

void CountingPainter::RepaintDotLine(EditWindow*) {
    ++counts.lineRepaints;
}

void CountingPainter::PlaceCaret(EditWindow*, int x, int y) {
    counts.caretX = x;
    counts.caretY = y;
}

ViewPainter& Painter() {
    return currentPainter != nullptr ? *currentPainter : defaultPainter;
}

void SetViewPainter(ViewPainter* painter) {
    currentPainter = painter;
}

void ComputeCursorPosition() {
    EditWindow* window = pwinCurrent;
    if (!DotVisible(window)) {
        return;
    }
    window->cursorRow =
        static_cast<int>(window->dot.lpln->number) - static_cast<int>(window->lplnTop->number);
    int column = columnReachedValid ? columnReached : DotColumn();
    int h = window->hscroll;
    if (column > h && column < h + window->columns) {
        window->cursorColumn = column - h;
        return;
    }
    if (column != 0 || h != 0) {
        if (column < window->columns) {
            h = 0;
        } else {
            h = (column - window->columns + 16) / 16 * 16;
            // In a window narrower than 16 columns the step of 16 would pass the column:
            // put it in the last cell instead, so the cursor is always shown.
            if (h > column) {
                h = column - window->columns + 1;
            }
        }
        if (h > MAX_HSCROLL) {
            h = MAX_HSCROLL;
        }
        if (h != window->hscroll) {
            window->hscroll = h;
            window->redraw |= RD_ALL | RD_HSCROLL;
        }
    }
    window->cursorColumn = column - window->hscroll;
}

void DisplayUpdate() {
    EditWindow* window = pwinCurrent;
    if (window == nullptr || !window->painting) {
        return;
    }
    if (window->redraw & RD_RENUMBER) {
        RenumberLines();
    }
    if (window->redraw & RD_REFRAME) {
        reframe();
    }
    window->reframeHint = 0;
    RenumberIfNeeded();
    ComputeCursorPosition();
    columnReachedValid = 0;
    if (!fMouseSelecting) {
        if (!window->marking) {
            window->mark = window->dot;
        } else if (PositionsEqual(window->dot, window->mark)) {
            window->marking = 0;
            window->redraw |= RD_ALL;
        }
    }
    if (window->marking) {
        if (PositionBefore(window->mark, window->dot)) {
            window->startblock = window->mark;
            window->endblock = window->dot;
        } else {
            window->startblock = window->dot;
            window->endblock = window->mark;
        }
    }
    if (window->redraw & RD_ALL) {
        Painter().RepaintWindow(window);
        UpdateOtherWindows();
    } else if (window->redraw & RD_LINE) {
        Painter().RepaintDotLine(window);
        UpdateOtherWindows();
    }
    if (window->redraw & RD_VSCROLL) {
        Painter().UpdateVerticalScrollBar(window);
    }
    if (window->redraw & RD_HSCROLL) {
        Painter().UpdateHorizontalScrollBar(window);
    }
    window->redraw = 0;
    if (!fMouseSelecting) {
        const ViewMetrics& m = viewMetrics;
        int x = DotVisible(window) ? window->cursorColumn * m.charWidth + m.leftMargin
                                   : (window->columns + 2) * m.charWidth;
        int y = window->cursorRow * m.lineHeight + m.lineHeight - CaretHeight();
        Painter().PlaceCaret(window, x, y);
    }
    if (!fScrolledByCursor) {
        Painter().RepaintStatus();
    }
}

void CommandTail() {
    if (pwinCurrent == nullptr) {
        return;
    }
    if (!fMacroPlayback) {
        NewCommandSerial();
    }
    FinishCommandFlags();
    if (fMacroPlayback) {
        RenumberIfNeeded();
        ComputeCursorPosition();
    } else {
        DisplayUpdate();
    }
    if (!fMouseSelecting) {
        CheckAutosave();
    }
}
