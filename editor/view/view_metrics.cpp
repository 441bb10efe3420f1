#include "editor/view/view_metrics.h"

ViewMetrics viewMetrics;

void SetFontMetrics(int lineHeight, int charWidth) {
    viewMetrics.lineHeight = lineHeight > 0 ? lineHeight : 1;
    viewMetrics.charWidth = charWidth > 0 ? charWidth : 1;
    viewMetrics.leftMargin = viewMetrics.lineHeight / 2;
}

void SizeWindow(EditWindow* window, int width, int height) {
    window->rows = height > 0 ? height / viewMetrics.lineHeight : 0;
    window->columns = width > 0 ? width / viewMetrics.charWidth : 0;
}

int CaretWidth() {
    switch (viewMetrics.caret) {
        case CaretShape::VerticalBar:
            return 2 * viewMetrics.borderWidth;
        default:
            return viewMetrics.charWidth;
    }
}

int CaretHeight() {
    switch (viewMetrics.caret) {
        case CaretShape::Underline:
            return 2 * viewMetrics.borderHeight;
        default:
            return viewMetrics.lineHeight;
    }
}
