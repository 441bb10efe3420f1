// The widgets that mirror model windows.
#pragma once

#include <QMdiSubWindow>
#include <QRegion>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>

#include "platform/ui/cursor_api.h"
#include "platform/ui/user_types.h"

namespace farvane::ui::qt {

// Qt's cursor for one of the standard shapes.
Qt::CursorShape QtCursorOf(CursorShape shape);

// A window that paints itself: shows the window's backing image and the caret, has the
// window's scroll bars, and turns mouse, key, focus and drop events into the model's input.
class WindowWidget : public QWidget {
public:
    WindowWidget(HWND window, QWidget* parent);
    HWND window() const { return window_; }
    void updateScrollBars();
    void restartCaretBlink();
    // Shows what was drawn into the window's image there; the scroll bars are repainted only
    // when they change, not when drawing ran under them.
    void showDrawn(const QRect& rect);
    // The image's pixels in the rectangle moved: what is shown moves the same way (Qt moves
    // its backing store rather than painting the area again).
    void showScrolled(int dx, int dy, const QRect& rect);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void scrollAction(int bar, int action);
    // Where the caret is while this window owns it (empty otherwise).
    QRect caretRect() const;
    QRect clientRect() const;
    // Asks for the rectangle to be painted from the image.
    void showArea(const QRect& rect);
    HWND window_;
    QScrollBar* vertical_ = nullptr;
    QScrollBar* horizontal_ = nullptr;
    QTimer blink_;
    bool caretPhase_ = true;
    QRect caretShown_;
    QRegion pending_;  // asked to be shown and not painted yet  // the caret's rectangle at the
                       // last paint, to erase it when it moves
};

// The frame of a top-level window: its menu bar over the window's own widget.
class FrameWidget : public QWidget {
public:
    FrameWidget(HWND window);
    HWND window() const { return window_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    HWND window_;
};

// A multiple-document child's frame inside the client.
class MdiSubWindow : public QMdiSubWindow {
public:
    explicit MdiSubWindow(HWND window) : window_(window) {}

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    HWND window_;
};

// Turns the dialog keys (Tab, Return, Escape) of a control into model input, so that the
// dialog manager handles them as on the platform, and follows the control's focus.
class ControlEventFilter : public QObject {
public:
    ControlEventFilter(HWND window, QObject* parent) : QObject(parent), window_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    HWND window_;
};

// The platform's virtual key of a Qt key, or 0.
WORD VirtualKeyOf(int qtKey);
// The key that types a character on a US keyboard, for keys Qt names by their symbol
// ('!', ';', '['...), or 0.
WORD VirtualKeyOfCharacter(char typed);

}  // namespace farvane::ui::qt
