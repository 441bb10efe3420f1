// A press of a mouse button over a multiple-document child that is not the active one is
// put to the child first (WM_MOUSEACTIVATE), before Qt moves the focus and activates the
// sub-window itself: the child's answer decides whether the click only activates it.
#pragma once

#include <QObject>

namespace farvane::ui::qt {

class MouseActivationFilter : public QObject {
public:
    bool eventFilter(QObject* object, QEvent* event) override;
};

}  // namespace farvane::ui::qt
