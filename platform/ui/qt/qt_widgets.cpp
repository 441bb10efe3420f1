#include "platform/ui/qt/qt_widgets.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

#include <cctype>
#include <string_view>

#include "platform/ui/input.h"
#include "platform/ui/internal.h"
#include "platform/ui/qt/qt_backend.h"
#include "platform/ui/qt/qt_surface.h"
#include "platform/ui/ui.h"

namespace farvane::ui::qt {

namespace {

constexpr int kScrollBarSize = 16;

KeyModifiers ModifiersOf(Qt::KeyboardModifiers modifiers) {
    return KeyModifiers{(modifiers & Qt::ShiftModifier) != 0,
                        (modifiers & Qt::ControlModifier) != 0, (modifiers & Qt::AltModifier) != 0};
}

bool Syncing() {
    QtBackend* backend = CurrentQtBackend();
    return backend && backend->syncing();
}

void PostKey(QKeyEvent* event, bool down) {
    QByteArray text = event->text().toLatin1();
    WORD key = VirtualKeyOf(event->key());
    if (!key && text.size() == 1) {
        key = VirtualKeyOfCharacter(text[0]);  // punctuation: its key on a US keyboard
    }
    if (!key) {
        return;
    }
    char typed = 0;
    if (down && text.size() == 1) {
        typed = text[0];
    }
    if (key == VK_RETURN && down) {
        typed = '\r';
    }
    PostKeyEvent(key, down, ModifiersOf(event->modifiers()), down ? typed : 0);
}

}  // namespace

Qt::CursorShape QtCursorOf(CursorShape shape) {
    switch (shape) {
        case CursorShape::IBeam:
            return Qt::IBeamCursor;
        case CursorShape::Wait:
            return Qt::WaitCursor;
        default:
            return Qt::ArrowCursor;
    }
}

WORD VirtualKeyOfCharacter(char typed) {
    auto c = static_cast<unsigned char>(typed);
    if (std::isalnum(c)) {
        return static_cast<WORD>(std::toupper(c));
    }
    // The shifted digits, then the punctuation keys, each pair on one key.
    static constexpr std::string_view kShiftedDigits = ")!@#$%^&*(";
    if (std::size_t digit = kShiftedDigits.find(typed); digit != std::string_view::npos) {
        return static_cast<WORD>('0' + digit);
    }
    static constexpr struct {
        std::string_view characters;
        WORD key;
    } kPunctuation[] = {{";:", VK_OEM_1},     {"=+", VK_OEM_PLUS},   {",<", VK_OEM_COMMA},
                        {"-_", VK_OEM_MINUS}, {".>", VK_OEM_PERIOD}, {"/?", VK_OEM_2},
                        {"`~", VK_OEM_3},     {"[{", VK_OEM_4},      {"\\|", VK_OEM_5},
                        {"]}", VK_OEM_6},     {"'\"", VK_OEM_7}};
    for (const auto& entry : kPunctuation) {
        if (entry.characters.find(typed) != std::string_view::npos) {
            return entry.key;
        }
    }
    // Other Latin-1 characters (accented letters) still type: they have no key of their own.
    return c >= 0xA0 ? VK_OEM_8 : 0;
}

WORD VirtualKeyOf(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        return static_cast<WORD>('A' + (key - Qt::Key_A));
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return static_cast<WORD>('0' + (key - Qt::Key_0));
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
        return static_cast<WORD>(VK_F1 + (key - Qt::Key_F1));
    }
    switch (key) {
        case Qt::Key_Backspace:
            return VK_BACK;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return VK_TAB;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return VK_RETURN;
        case Qt::Key_Escape:
            return VK_ESCAPE;
        case Qt::Key_Space:
            return VK_SPACE;
        case Qt::Key_PageUp:
            return VK_PRIOR;
        case Qt::Key_PageDown:
            return VK_NEXT;
        case Qt::Key_End:
            return VK_END;
        case Qt::Key_Home:
            return VK_HOME;
        case Qt::Key_Left:
            return VK_LEFT;
        case Qt::Key_Up:
            return VK_UP;
        case Qt::Key_Right:
            return VK_RIGHT;
        case Qt::Key_Down:
            return VK_DOWN;
        case Qt::Key_Insert:
            return VK_INSERT;
        case Qt::Key_Delete:
            return VK_DELETE;
        case Qt::Key_Shift:
            return VK_SHIFT;
        case Qt::Key_Control:
            return VK_CONTROL;
        case Qt::Key_Alt:
            return VK_MENU;
        case Qt::Key_Asterisk:
            return VK_MULTIPLY;
        case Qt::Key_Plus:
            return VK_ADD;
        case Qt::Key_Minus:
            return VK_SUBTRACT;
        case Qt::Key_Slash:
            return VK_DIVIDE;
        default:
            return 0;
    }
}

WindowWidget::WindowWidget(HWND window, QWidget* parent) : QWidget(parent), window_(window) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    Window* w = FindWindowObject(window);
    // The class's cursor over the window (a text beam over a text window).
    CursorShape shape;
    if (w && ShapeOfCursor(w->windowClass->cursor, &shape)) {
        setCursor(QtCursorOf(shape));
    }
    if (w && (w->style & WS_VSCROLL)) {
        vertical_ = new QScrollBar(Qt::Vertical, this);
        connect(vertical_, &QAbstractSlider::actionTriggered, this,
                [this](int action) { scrollAction(SB_VERT, action); });
        connect(vertical_, &QAbstractSlider::sliderReleased, this,
                [this] { scrollAction(SB_VERT, -1); });
        w->clientInset.cx = kScrollBarSize;
    }
    if (w && (w->style & WS_HSCROLL)) {
        horizontal_ = new QScrollBar(Qt::Horizontal, this);
        connect(horizontal_, &QAbstractSlider::actionTriggered, this,
                [this](int action) { scrollAction(SB_HORZ, action); });
        connect(horizontal_, &QAbstractSlider::sliderReleased, this,
                [this] { scrollAction(SB_HORZ, -1); });
        w->clientInset.cy = kScrollBarSize;
    }
    // A blink repaints the caret only: the rest of a large window stays as it is while idle.
    connect(&blink_, &QTimer::timeout, this, [this] {
        caretPhase_ = !caretPhase_;
        showArea(caretRect());
    });
}

void WindowWidget::scrollAction(int bar, int action) {
    QScrollBar* scroll = bar == SB_VERT ? vertical_ : horizontal_;
    WORD code;
    switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
            code = SB_LINEDOWN;
            break;
        case QAbstractSlider::SliderSingleStepSub:
            code = SB_LINEUP;
            break;
        case QAbstractSlider::SliderPageStepAdd:
            code = SB_PAGEDOWN;
            break;
        case QAbstractSlider::SliderPageStepSub:
            code = SB_PAGEUP;
            break;
        case QAbstractSlider::SliderMove:
            code = SB_THUMBTRACK;
            break;
        case QAbstractSlider::SliderToMinimum:
            code = SB_TOP;
            break;
        case QAbstractSlider::SliderToMaximum:
            code = SB_BOTTOM;
            break;
        default:  // released
            UserScroll(window_, bar, SB_THUMBPOSITION, scroll->sliderPosition());
            UserScroll(window_, bar, SB_ENDSCROLL, 0);
            updateScrollBars();
            return;
    }
    UserScroll(window_, bar, code, scroll->sliderPosition());
    if (code != SB_THUMBTRACK) {
        UserScroll(window_, bar, SB_ENDSCROLL, 0);
    }
    // The program decides the position: show what it set.
    QTimer::singleShot(0, this, [this] { updateScrollBars(); });
}

void WindowWidget::updateScrollBars() {
    Window* w = FindWindowObject(window_);
    if (!w) {
        return;
    }
    const QSignalBlocker blockV(vertical_);
    const QSignalBlocker blockH(horizontal_);
    if (vertical_) {
        vertical_->setRange(w->scroll[SB_VERT].min, w->scroll[SB_VERT].max);
        vertical_->setValue(w->scroll[SB_VERT].pos);
        vertical_->setPageStep(std::max<int>(1, static_cast<int>(w->scroll[SB_VERT].page)));
    }
    if (horizontal_) {
        horizontal_->setRange(w->scroll[SB_HORZ].min, w->scroll[SB_HORZ].max);
        horizontal_->setValue(w->scroll[SB_HORZ].pos);
        horizontal_->setPageStep(std::max<int>(1, static_cast<int>(w->scroll[SB_HORZ].page)));
    }
}

QRect WindowWidget::clientRect() const {
    return QRect(0, 0, width() - (vertical_ ? kScrollBarSize : 0),
                 height() - (horizontal_ ? kScrollBarSize : 0));
}

void WindowWidget::showArea(const QRect& rect) {
    if (!rect.isEmpty()) {
        pending_ += rect;
        update(rect);
    }
}

void WindowWidget::showDrawn(const QRect& rect) {
    showArea(rect.intersected(clientRect()));
}

// Parts waiting to be painted were stale on the screen: they are painted where their pixels
// went as well as where they were, whatever Qt does with its own pending region.
void WindowWidget::showScrolled(int dx, int dy, const QRect& rect) {
    QRect area = rect.intersected(clientRect());
    if (area.isEmpty()) {
        return;
    }
    QRegion stale = pending_.translated(dx, dy) & QRegion(area);
    scroll(dx, dy, area);
    for (const QRect& part : stale) {
        showArea(part);
    }
}

QRect WindowWidget::caretRect() const {
    const CaretState& caret = State().caret;
    if (caret.owner != window_) {
        return QRect();
    }
    return QRect(caret.position.x, caret.position.y, caret.width, caret.height);
}

// A caret that moved or changed is repainted where it was and where it is now, not over the
// whole window: typing in a large window repaints only what the keystroke changed.
void WindowWidget::restartCaretBlink() {
    UINT time = GetCaretBlinkTime();
    caretPhase_ = true;
    if (State().caret.owner == window_ && time != 0xFFFFFFFF && time > 0) {
        blink_.start(static_cast<int>(time));
    } else {
        blink_.stop();
    }
    QRect now = caretRect();
    showArea(caretShown_);
    if (now != caretShown_) {
        showArea(now);
    }
}

void WindowWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    Window* w = FindWindowObject(window_);
    auto* surface = w ? dynamic_cast<ImageSurface*>(w->surface.get()) : nullptr;
    QRect area = event->rect();
    pending_ = QRegion();
    if (surface) {
        painter.drawImage(area.topLeft(), surface->image(), area);
    } else {
        painter.fillRect(area, palette().window());
    }
    const CaretState& caret = State().caret;
    caretShown_ = QRect();
    if (caret.owner == window_ && caret.hideCount == 0 && caretPhase_ && hasFocus()) {
        caretShown_ = caretRect();
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.fillRect(caretShown_, Qt::white);
    }
}

void WindowWidget::resizeEvent(QResizeEvent*) {
    int inset = kScrollBarSize;
    if (vertical_) {
        vertical_->setGeometry(width() - inset, 0, inset, height() - (horizontal_ ? inset : 0));
    }
    if (horizontal_) {
        horizontal_->setGeometry(0, height() - inset, width() - (vertical_ ? inset : 0), inset);
    }
    Window* w = FindWindowObject(window_);
    QtBackend* backend = CurrentQtBackend();
    if (!w || !backend || backend->syncing()) {
        return;
    }
    Peer* peer = backend->peerOf(window_);
    // A frame's or a document's widget follows its frame: the size came from the user.
    if (peer && (peer->kind == Peer::Kind::Frame || peer->kind == Peer::Kind::MdiChild) &&
        (w->rect.right - w->rect.left != width() || w->rect.bottom - w->rect.top != height())) {
        QtBackend::SyncGuard guard(*backend);
        if (w->placement == Placement::Normal) {
            SetWindowPos(window_, nullptr, 0, 0, width(), height(),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}

void WindowWidget::mousePressEvent(QMouseEvent* event) {
    UINT message = event->button() == Qt::RightButton ? WM_RBUTTONDOWN : WM_LBUTTONDOWN;
    QPoint p = event->position().toPoint();
    PostMouseEvent(window_, message, p.x(), p.y(), ModifiersOf(event->modifiers()));
}

void WindowWidget::mouseReleaseEvent(QMouseEvent* event) {
    UINT message = event->button() == Qt::RightButton ? WM_RBUTTONUP : WM_LBUTTONUP;
    QPoint p = event->position().toPoint();
    PostMouseEvent(window_, message, p.x(), p.y(), ModifiersOf(event->modifiers()));
}

void WindowWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    Window* w = FindWindowObject(window_);
    bool wantsDouble = w && (w->windowClass->style & CS_DBLCLKS);
    UINT message = event->button() == Qt::RightButton
                       ? (wantsDouble ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN)
                       : (wantsDouble ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN);
    QPoint p = event->position().toPoint();
    PostMouseEvent(window_, message, p.x(), p.y(), ModifiersOf(event->modifiers()));
}

void WindowWidget::mouseMoveEvent(QMouseEvent* event) {
    QPoint p = event->position().toPoint();
    PostMouseEvent(window_, WM_MOUSEMOVE, p.x(), p.y(), ModifiersOf(event->modifiers()));
}

void WindowWidget::keyPressEvent(QKeyEvent* event) {
    PostKey(event, true);
}
void WindowWidget::keyReleaseEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat()) {
        PostKey(event, false);
    }
}

void WindowWidget::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (!Syncing() && GetFocus() != window_ && IsWindowEnabled(window_)) {
        QtBackend::SyncGuard guard(*CurrentQtBackend());
        SetFocus(window_);
    }
    restartCaretBlink();
}

void WindowWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void WindowWidget::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            paths.push_back(url.toLocalFile().toStdString());
        }
    }
    if (!paths.empty() && PostDroppedFiles(window_, paths)) {
        event->acceptProposedAction();
    }
}

bool WindowWidget::focusNextPrevChild(bool) {
    return false;
}  // Tab is the program's key

FrameWidget::FrameWidget(HWND window) : QWidget(nullptr), window_(window) {
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void FrameWidget::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (IsWindow(window_) && IsWindowEnabled(window_)) {
        PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
}

void FrameWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    QtBackend* backend = CurrentQtBackend();
    if (!backend || backend->syncing() || !IsWindow(window_)) {
        return;
    }
    QtBackend::SyncGuard guard(*backend);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() &&
        GetActiveWindow() != window_ && IsWindowEnabled(window_)) {
        SetActiveWindow(window_);
    } else if (event->type() == QEvent::WindowStateChange) {
        if ((windowState() & Qt::WindowMinimized) && !IsIconic(window_)) {
            ShowWindow(window_, SW_MINIMIZE);
        } else if ((windowState() & Qt::WindowMaximized) && !IsZoomed(window_)) {
            ShowWindow(window_, SW_MAXIMIZE);
        } else if (windowState() == Qt::WindowNoState && (IsIconic(window_) || IsZoomed(window_))) {
            ShowWindow(window_, SW_RESTORE);
        }
    }
}

void FrameWidget::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    QtBackend* backend = CurrentQtBackend();
    Window* w = FindWindowObject(window_);
    if (!backend || backend->syncing() || !w || w->placement != Placement::Normal || !isVisible()) {
        return;
    }
    QtBackend::SyncGuard guard(*backend);
    SetWindowPos(window_, nullptr, pos().x(), pos().y(), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MdiSubWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (IsWindow(window_)) {
        PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
}

void MdiSubWindow::changeEvent(QEvent* event) {
    QMdiSubWindow::changeEvent(event);
    QtBackend* backend = CurrentQtBackend();
    if (!backend || backend->syncing() || !IsWindow(window_) ||
        event->type() != QEvent::WindowStateChange) {
        return;
    }
    // The user used the frame's own buttons: the child hears it as a system command.
    QtBackend::SyncGuard guard(*backend);
    if ((windowState() & Qt::WindowMinimized) && !IsIconic(window_)) {
        SendMessageA(window_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if ((windowState() & Qt::WindowMaximized) && !IsZoomed(window_)) {
        SendMessageA(window_, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    } else if (windowState() == Qt::WindowNoState && (IsIconic(window_) || IsZoomed(window_))) {
        SendMessageA(window_, WM_SYSCOMMAND, SC_RESTORE, 0);
    }
}

bool ControlEventFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        Window* w = FindWindowObject(window_);
        bool multiLine = w && (w->style & ES_MULTILINE) && (w->style & ES_WANTRETURN);
        int code = key->key();
        bool dialogKey = code == Qt::Key_Tab || code == Qt::Key_Backtab || code == Qt::Key_Escape ||
                         ((code == Qt::Key_Return || code == Qt::Key_Enter) && !multiLine);
        if (dialogKey) {
            PostKey(key, event->type() == QEvent::KeyPress);
            return true;
        }
    } else if (event->type() == QEvent::FocusIn) {
        QtBackend* backend = CurrentQtBackend();
        if (backend && !backend->syncing() && GetFocus() != window_ && IsWindow(window_)) {
            QtBackend::SyncGuard guard(*backend);
            SetFocus(window_);
        }
    } else if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            event->accept();
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace farvane::ui::qt
