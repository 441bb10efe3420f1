#include "platform/ui/qt/qt_mouse_activation.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include "platform/ui/mdi_state.h"
#include "platform/ui/qt/qt_widgets.h"
#include "platform/ui/user_constants.h"

namespace farvane::ui::qt {

namespace {

QWidget* WidgetOfWindow(const QWindow* window) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->windowHandle() == window) {
            return widget;
        }
    }
    return nullptr;
}

}  // namespace

// Mouse events reach the native window before Qt hands them to the widget under the
// pointer (and gives that widget the focus), so this is where the click can still be eaten.
bool MouseActivationFilter::eventFilter(QObject* object, QEvent* event) {
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick) {
        return false;
    }
    auto* window = qobject_cast<QWindow*>(object);
    QWidget* top = window != nullptr ? WidgetOfWindow(window) : nullptr;
    if (top == nullptr) {
        return false;
    }
    auto* mouse = static_cast<QMouseEvent*>(event);
    QWidget* hit = top->childAt(top->mapFromGlobal(mouse->globalPosition().toPoint()));
    // Only the window's own area: a click on its scroll bars or frame activates as usual.
    auto* canvas = dynamic_cast<WindowWidget*>(hit);
    if (canvas == nullptr) {
        return false;
    }
    UINT message = mouse->button() == Qt::RightButton ? WM_RBUTTONDOWN : WM_LBUTTONDOWN;
    return MdiMouseActivate(canvas->window(), message);
}

}  // namespace farvane::ui::qt
