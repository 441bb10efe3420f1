#include "editor/view/scroll_bars.h"

#include "editor/core/command_state.h"
#include "editor/core/cursor_steps.h"
#include "editor/core/lines.h"
#include "editor/view/display_update.h"

namespace {

constexpr int MAX_SCROLL_RANGE = 32767;
int scrollBarStep = 1;

}  // namespace

ScrollInfo VerticalScrollInfo(const EditWindow* window) {
    long range = static_cast<long>(window->buffer->lineCount);
    long position = static_cast<long>(window->lplnTop->number);
    if (range == 0) {
        return {0, MAX_SCROLL_RANGE, 0};
    }
    while (range > MAX_SCROLL_RANGE) {
        range /= 2;
        position /= 2;
    }
    return {0, static_cast<int>(range), static_cast<int>(position)};
}

ScrollInfo HorizontalScrollInfo(const EditWindow* window) {
    return {0, MAX_HSCROLL, window->hscroll};
}

int ScrollBarStep() {
    return scrollBarStep;
}

int VerticalScroll(ScrollAction action, int thumbPosition) {
    RenumberIfNeeded();
    fScrolledAway = 1;
    int moved = 0;
    switch (action) {
        case ScrollAction::LineUp:
        case ScrollAction::LineDown:
            moved = ScrollView(action == ScrollAction::LineUp ? -scrollBarStep : scrollBarStep);
            if (scrollBarStep < 3) {
                ++scrollBarStep;
            }
            break;
        case ScrollAction::PageUp:
            moved = ScrollView(-pwinCurrent->rows);
            break;
        case ScrollAction::PageDown:
            moved = ScrollView(pwinCurrent->rows);
            break;
        case ScrollAction::Thumb: {
            ScrollInfo info = VerticalScrollInfo(pwinCurrent);
            DWORD count = pbufCurrent->lineCount;
            long target;
            if (count < 32768) {
                target = thumbPosition;
            } else {
                if (info.maximum == 0) {
                    return 0;
                }
                target = static_cast<long>(thumbPosition) * static_cast<long>(count / info.maximum);
            }
            moved = ScrollView(
                static_cast<int>(target - static_cast<long>(pwinCurrent->lplnTop->number)));
            pwinCurrent->redraw |= RD_ALL | RD_VSCROLL;
            break;
        }
        case ScrollAction::End:
            scrollBarStep = 1;
            break;
    }
    return moved;
}

void HorizontalScroll(ScrollAction action, int thumbPosition) {
    int h = pwinCurrent->hscroll;
    switch (action) {
        case ScrollAction::LineUp:
            h -= 1;
            break;
        case ScrollAction::LineDown:
            h += 1;
            break;
        case ScrollAction::PageUp:
            h -= 16;
            break;
        case ScrollAction::PageDown:
            h += 16;
            break;
        case ScrollAction::Thumb:
            h = thumbPosition;
            break;
        case ScrollAction::End:
            return;
    }
    h = h < 0 ? 0 : h > MAX_HSCROLL ? MAX_HSCROLL : h;
    pwinCurrent->cursorColumn -= h - pwinCurrent->hscroll;
    pwinCurrent->hscroll = h;
    Painter().RepaintWindow(pwinCurrent);
    Painter().UpdateHorizontalScrollBar(pwinCurrent);
}
