// Creating and updating the widgets that mirror model windows.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

#include "platform/ui/control_state.h"
#include "platform/ui/internal.h"
#include "platform/ui/mdi_state.h"
#include "platform/ui/qt/qt_backend.h"
#include "platform/ui/qt/qt_widgets.h"
#include "platform/ui/ui.h"

namespace farvane::ui::qt {

namespace {

QString Latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Qt marks mnemonics with '&' as the platform does; labels show the text without them.
QString LabelText(const Window& w) {
    if (w.style & SS_NOPREFIX) {
        return Latin1(w.text);
    }
    return Latin1(StripMnemonic(w.text));
}

// The text a list shows for an item: up to the first tab when tab stops hide the rest, and
// up to the first line break for items that carry more than their name.
QString ItemText(const ListState& list, const ListItem& item) {
    std::string text = item.text;
    if (!list.tabStops.empty()) {
        text = text.substr(0, text.find('\t'));
    }
    return Latin1(text.substr(0, text.find('\r')));
}

void FillList(QListWidget* widget, const ListState& list) {
    const QSignalBlocker blocker(widget);
    widget->clear();
    for (const ListItem& item : list.items) {
        widget->addItem(ItemText(list, item));
    }
    widget->setCurrentRow(list.current);
}

void FillCombo(QComboBox* widget, const Window& w, const ListState& list) {
    const QSignalBlocker blocker(widget);
    widget->clear();
    for (const ListItem& item : list.items) {
        widget->addItem(ItemText(list, item));
    }
    widget->setCurrentIndex(list.current);
    if (widget->isEditable()) {
        widget->setEditText(Latin1(w.text));
        // A dialog marks the text of its first field, so that typing replaces it.
        auto start = static_cast<int>(std::min(list.editSelStart, list.editSelEnd));
        auto end = static_cast<int>(std::max(list.editSelStart, list.editSelEnd));
        if (end > start) {
            widget->lineEdit()->setSelection(start, end - start);
        }
    }
}

QWidget* MakeButton(HWND window, const Window& w, QWidget* parent) {
    DWORD type = w.style & BS_TYPEMASK;
    QWidget* widget = nullptr;
    if (type == BS_GROUPBOX) {
        return new QGroupBox(Latin1(StripMnemonic(w.text)), parent);
    }
    if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
        type == BS_AUTO3STATE) {
        auto* box = new QCheckBox(Latin1(w.text), parent);
        box->setTristate(type == BS_3STATE || type == BS_AUTO3STATE);
        QObject::connect(box, &QAbstractButton::clicked, box, [window] {
            UserClickButton(window);
            if (QtBackend* backend = CurrentQtBackend()) {
                backend->windowChanged(window, WindowChange::ControlContent);
            }
        });
        widget = box;
    } else if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) {
        auto* radio = new QRadioButton(Latin1(w.text), parent);
        radio->setAutoExclusive(false);  // the model keeps the group
        QObject::connect(radio, &QAbstractButton::clicked, radio, [window] {
            UserClickButton(window);
            if (QtBackend* backend = CurrentQtBackend()) {
                backend->windowChanged(window, WindowChange::ControlContent);
            }
        });
        widget = radio;
    } else {
        auto* button = new QPushButton(Latin1(w.text), parent);
        button->setAutoDefault(false);
        button->setDefault(type == BS_DEFPUSHBUTTON);
        QObject::connect(button, &QAbstractButton::clicked, button,
                         [window] { UserClickButton(window); });
        widget = button;
    }
    return widget;
}

QWidget* MakeStatic(const Window& w, QWidget* parent) {
    auto* label = new QLabel(LabelText(w), parent);
    DWORD type = w.style & SS_TYPEMASK;
    Qt::Alignment alignment = Qt::AlignLeft;
    if (type == SS_CENTER) {
        alignment = Qt::AlignHCenter;
    } else if (type == SS_RIGHT) {
        alignment = Qt::AlignRight;
    }
    label->setAlignment(alignment | Qt::AlignTop);
    label->setWordWrap(type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT);
    if (w.style & SS_SUNKEN) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    return label;
}

QWidget* MakeEdit(HWND window, const Window& w, QWidget* parent, Peer& peer) {
    if (w.style & ES_MULTILINE) {
        auto* edit = new QPlainTextEdit(Latin1(w.text), parent);
        edit->setReadOnly(w.style & ES_READONLY);
        QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [window, edit] {
            QtBackend* backend = CurrentQtBackend();
            if (backend && !backend->syncing()) {
                QtBackend::SyncGuard guard(*backend);
                UserEditText(window, edit->toPlainText().toLatin1().toStdString());
            }
        });
        peer.kind = Peer::Kind::MultiLineEdit;
        return edit;
    }
    auto* edit = new QLineEdit(Latin1(w.text), parent);
    edit->setReadOnly(w.style & ES_READONLY);
    edit->setFrame(w.style & WS_BORDER);
    if (w.style & ES_PASSWORD) {
        edit->setEchoMode(QLineEdit::Password);
    }
    if ((w.style & 0x3) == ES_RIGHT) {
        edit->setAlignment(Qt::AlignRight);
    } else if ((w.style & 0x3) == ES_CENTER) {
        edit->setAlignment(Qt::AlignHCenter);
    }
    QObject::connect(edit, &QLineEdit::textEdited, edit, [window](const QString& text) {
        UserEditText(window, text.toLatin1().toStdString());
        if (QtBackend* backend = CurrentQtBackend()) {
            backend->windowChanged(window, WindowChange::Text);  // shows a cut at the limit
        }
    });
    peer.kind = Peer::Kind::Edit;
    return edit;
}

QWidget* MakeList(HWND window, QWidget* parent) {
    auto* list = new QListWidget(parent);
    QObject::connect(list, &QListWidget::currentRowChanged, list, [window](int row) {
        QtBackend* backend = CurrentQtBackend();
        if (backend && !backend->syncing()) {
            UserSelectItem(window, row);
        }
    });
    QObject::connect(
        list, &QListWidget::itemDoubleClicked, list,
        [window, list](QListWidgetItem* item) { UserDoubleClickItem(window, list->row(item)); });
    return list;
}

QWidget* MakeCombo(HWND window, const Window& w, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setEditable((w.style & 0x3) != CBS_DROPDOWNLIST);
    combo->setInsertPolicy(QComboBox::NoInsert);
    QObject::connect(combo, QOverload<int>::of(&QComboBox::activated), combo,
                     [window](int index) { UserSelectItem(window, index); });
    if (combo->isEditable()) {
        QObject::connect(
            combo->lineEdit(), &QLineEdit::textEdited, combo,
            [window](const QString& text) { UserEditText(window, text.toLatin1().toStdString()); });
    }
    return combo;
}

}  // namespace

QWidget* QtBackend::containerOf(HWND window) {
    Peer* peer = peerOf(window);
    if (!peer) {
        return nullptr;
    }
    if (peer->canvas) {
        return peer->canvas;
    }
    return peer->outer;
}

void QtBackend::createFrame(HWND window, Peer& peer) {
    auto* frame = new FrameWidget(window);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    peer.kind = Peer::Kind::Frame;
    peer.outer = frame;
    peer.canvas = new WindowWidget(window, frame);
    layout->addWidget(peer.canvas);
    Window* w = FindWindowObject(window);
    if (w && (w->dialog || w->owner)) {
        frame->setWindowFlags(frame->windowFlags() | Qt::Dialog);
    }
    // An owned window is no Qt child of its owner: disabling the owner for a modal dialog
    // would disable the dialog with it (Qt passes the state down to child windows), and a
    // disabled window takes no keys. It stays over its owner as a transient window instead.
    if (w && w->owner) {
        if (QWidget* owner = widgetOf(w->owner)) {
            frame->winId();
            owner->winId();
            frame->windowHandle()->setTransientParent(owner->windowHandle());
        }
    }
    if (w && (w->exStyle & WS_EX_ACCEPTFILES)) {
        peer.canvas->setAcceptDrops(true);
    }
}

void QtBackend::createChild(HWND window, Peer& peer) {
    Window* w = FindWindowObject(window);
    QWidget* parent = containerOf(w->parent);
    Peer* parentPeer = peerOf(w->parent);
    if (!parent) {
        return;
    }
    if ((w->exStyle & WS_EX_MDICHILD) && parentPeer && parentPeer->kind == Peer::Kind::MdiArea) {
        auto* area = static_cast<QMdiArea*>(parentPeer->outer.data());
        auto* sub = new MdiSubWindow(window);
        peer.kind = Peer::Kind::MdiChild;
        peer.canvas = new WindowWidget(window, sub);
        sub->setWidget(peer.canvas);
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
        area->addSubWindow(sub);
        peer.subWindow = sub;
        peer.outer = sub;
        return;
    }
    if (w->windowClass->name == kMdiClientClassName) {
        auto* area = new QMdiArea(parent);
        area->setBackground(QBrush(QColor(128, 128, 128)));
        QObject::connect(
            area, &QMdiArea::subWindowActivated, area, [this, window](QMdiSubWindow* sub) {
                if (syncing() || !sub) {
                    return;
                }
                auto* mdi = dynamic_cast<MdiSubWindow*>(sub);
                for (auto& [hwnd, p] : peers_) {
                    if (p.subWindow == mdi && IsWindow(hwnd)) {
                        SyncGuard guard(*this);
                        SendMessageA(window, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hwnd), 0);
                        return;
                    }
                }
            });
        peer.kind = Peer::Kind::MdiArea;
        peer.outer = area;
        return;
    }
    QWidget* widget = nullptr;
    switch (KindOf(window)) {
        case ControlKind::Button:
            peer.kind = Peer::Kind::Button;
            widget = MakeButton(window, *w, parent);
            break;
        case ControlKind::Static:
            peer.kind = Peer::Kind::Static;
            widget = MakeStatic(*w, parent);
            break;
        case ControlKind::Edit:
            widget = MakeEdit(window, *w, parent, peer);
            break;
        case ControlKind::ListBox:
            peer.kind = Peer::Kind::List;
            widget = MakeList(window, parent);
            break;
        case ControlKind::ComboBox:
            peer.kind = Peer::Kind::Combo;
            widget = MakeCombo(window, *w, parent);
            break;
        default:
            peer.kind = Peer::Kind::Painted;
            peer.canvas = new WindowWidget(window, parent);
            widget = peer.canvas;
            break;
    }
    if (peer.kind != Peer::Kind::Painted && peer.kind != Peer::Kind::Static) {
        widget->installEventFilter(new ControlEventFilter(window, widget));
        if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->lineEdit()) {
            combo->lineEdit()->installEventFilter(new ControlEventFilter(window, combo));
        }
    }
    peer.outer = widget;
}

void QtBackend::syncGeometry(HWND window, Peer& peer) {
    Window* w = FindWindowObject(window);
    if (!w || !peer.outer) {
        return;
    }
    SyncGuard guard(*this);
    int width = w->rect.right - w->rect.left;
    int height = w->rect.bottom - w->rect.top;
    if (peer.kind == Peer::Kind::Frame) {
        if (w->placement != Placement::Normal) {
            return;
        }
        int menu = peer.menuBar ? peer.menuBar->sizeHint().height() : 0;
        peer.outer->move(w->rect.left, w->rect.top);
        peer.outer->resize(width, height + menu);
        peer.canvas->resize(width, height);
        return;
    }
    if (peer.kind == Peer::Kind::MdiChild) {
        if (w->placement != Placement::Normal || !peer.subWindow) {
            return;
        }
        QStyle* style = peer.subWindow->style();
        int frame = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, peer.subWindow);
        int title = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, peer.subWindow);
        peer.subWindow->setGeometry(w->rect.left, w->rect.top, width + 2 * frame,
                                    height + title + frame);
        return;
    }
    if (peer.kind == Peer::Kind::Combo) {
        // The model's height of a combo box takes in its drop-down list; Qt's field is one line.
        height = std::min(height, peer.outer->sizeHint().height());
    }
    peer.outer->setGeometry(w->rect.left, w->rect.top, width, height);
}

void QtBackend::syncText(HWND window, Peer& peer) {
    Window* w = FindWindowObject(window);
    if (!w || !peer.outer) {
        return;
    }
    SyncGuard guard(*this);
    QString text = Latin1(w->text);
    switch (peer.kind) {
        case Peer::Kind::Frame:
            peer.outer->setWindowTitle(text);
            break;
        case Peer::Kind::MdiChild:
            peer.subWindow->setWindowTitle(text);
            break;
        case Peer::Kind::Button:
            if (auto* group = qobject_cast<QGroupBox*>(peer.outer)) {
                group->setTitle(Latin1(StripMnemonic(w->text)));
            } else if (auto* button = qobject_cast<QAbstractButton*>(peer.outer)) {
                button->setText(text);
            }
            break;
        case Peer::Kind::Static:
            static_cast<QLabel*>(peer.outer.data())->setText(LabelText(*w));
            break;
        case Peer::Kind::Edit: {
            auto* edit = static_cast<QLineEdit*>(peer.outer.data());
            if (edit->text() != text) {
                edit->setText(text);
            }
            break;
        }
        case Peer::Kind::MultiLineEdit: {
            auto* edit = static_cast<QPlainTextEdit*>(peer.outer.data());
            if (edit->toPlainText() != text) {
                edit->setPlainText(text);
            }
            break;
        }
        case Peer::Kind::Combo: {
            auto* combo = static_cast<QComboBox*>(peer.outer.data());
            if (combo->isEditable() && combo->currentText() != text) {
                combo->setEditText(text);
            }
            break;
        }
        default:
            break;
    }
}

void QtBackend::syncVisibility(HWND window, Peer& peer) {
    Window* w = FindWindowObject(window);
    if (!w || !peer.outer) {
        return;
    }
    SyncGuard guard(*this);
    bool visible = (w->style & WS_VISIBLE) != 0;
    if (peer.kind == Peer::Kind::Frame && visible) {
        syncGeometry(window, peer);
        syncPlacement(window, peer);
        return;
    }
    peer.outer->setVisible(visible);
}

void QtBackend::syncPlacement(HWND window, Peer& peer) {
    Window* w = FindWindowObject(window);
    if (!w || !peer.outer) {
        return;
    }
    SyncGuard guard(*this);
    QWidget* target = peer.kind == Peer::Kind::MdiChild ? static_cast<QWidget*>(peer.subWindow)
                                                        : peer.outer.data();
    if (!target || !(w->style & WS_VISIBLE)) {
        return;
    }
    switch (w->placement) {
        case Placement::Minimized:
            target->showMinimized();
            break;
        case Placement::Maximized:
            target->showMaximized();
            break;
        case Placement::Normal:
            target->showNormal();
            syncGeometry(window, peer);
            break;
    }
}

void QtBackend::syncMenu(HWND window, Peer& peer) {
    Window* w = FindWindowObject(window);
    if (!w || peer.kind != Peer::Kind::Frame) {
        return;
    }
    SyncGuard guard(*this);
    Menu* menu = FindMenuObject(w->menu);
    if (!menu) {
        if (peer.menuBar) {
            peer.menuBar->hide();
        }
        return;
    }
    if (!peer.menuBar) {
        peer.menuBar = new QMenuBar(peer.outer);
        static_cast<QVBoxLayout*>(peer.outer->layout())->setMenuBar(peer.menuBar);
    }
    peer.menuBar->clear();
    peer.menuBar->show();
    HMENU bar = w->menu;
    for (std::size_t i = 0; i < menu->items.size(); ++i) {
        const MenuItem& item = menu->items[i];
        QString title = Latin1(item.text);
        if (item.flags & MF_POPUP) {
            QMenu* popup = peer.menuBar->addMenu(title);
            HMENU sub = item.popup;
            int position = static_cast<int>(i);
            // Each time it opens, the program sets the items up and the pop-up is rebuilt.
            QObject::connect(
                popup, &QMenu::aboutToShow, popup, [window, bar, sub, position, popup] {
                    if (!IsWindow(window)) {
                        return;
                    }
                    SendMessageA(window, WM_INITMENU, reinterpret_cast<WPARAM>(bar), 0);
                    SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub),
                                 MAKELPARAM(static_cast<WORD>(position), 0));
                    popup->clear();
                    std::function<void(QMenu*, HMENU)> fill = [&](QMenu* target, HMENU source) {
                        Menu* m = FindMenuObject(source);
                        if (!m) {
                            return;
                        }
                        for (const MenuItem& entry : m->items) {
                            if (entry.flags & MF_SEPARATOR) {
                                target->addSeparator();
                            } else if (entry.flags & MF_POPUP) {
                                fill(target->addMenu(Latin1(entry.text)), entry.popup);
                            } else {
                                std::string label = entry.text;
                                std::size_t tab = label.find('\t');
                                QAction* action = target->addAction(Latin1(label.substr(0, tab)));
                                if (tab != std::string::npos) {
                                    action->setShortcutVisibleInContextMenu(true);
                                    action->setText(Latin1(label.substr(0, tab)) +
                                                    QLatin1Char('\t') +
                                                    Latin1(label.substr(tab + 1)));
                                }
                                action->setEnabled(!(entry.flags & (MF_GRAYED | MF_DISABLED)));
                                action->setCheckable(entry.flags & MF_CHECKED);
                                action->setChecked(entry.flags & MF_CHECKED);
                                UINT_PTR id = entry.id;
                                QObject::connect(action, &QAction::triggered, action, [window, id] {
                                    PostMessageA(window, WM_COMMAND,
                                                 MAKEWPARAM(static_cast<WORD>(id), 0), 0);
                                });
                            }
                        }
                    };
                    fill(popup, sub);
                });
            popup->addAction(QStringLiteral(" "));  // a pop-up without items would not open
        } else if (!(item.flags & MF_SEPARATOR)) {
            QAction* action = peer.menuBar->addAction(title);
            UINT_PTR id = item.id;
            action->setEnabled(!(item.flags & (MF_GRAYED | MF_DISABLED)));
            QObject::connect(action, &QAction::triggered, action, [window, id] {
                PostMessageA(window, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
            });
        }
    }
    syncGeometry(window, peer);
}

void QtBackend::syncControl(HWND window, Peer& peer) {
    Window* w = FindWindowObject(window);
    if (!w || !peer.outer) {
        return;
    }
    SyncGuard guard(*this);
    switch (peer.kind) {
        case Peer::Kind::Button: {
            auto* state = dynamic_cast<ButtonState*>(w->control.get());
            if (auto* box = qobject_cast<QCheckBox*>(peer.outer)) {
                const QSignalBlocker blocker(box);
                box->setCheckState(!state || state->check == BST_UNCHECKED ? Qt::Unchecked
                                   : state->check == BST_CHECKED           ? Qt::Checked
                                                                           : Qt::PartiallyChecked);
            } else if (auto* radio = qobject_cast<QRadioButton*>(peer.outer)) {
                const QSignalBlocker blocker(radio);
                radio->setChecked(state && state->check == BST_CHECKED);
            } else if (auto* button = qobject_cast<QPushButton*>(peer.outer)) {
                button->setDefault((w->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
            }
            break;
        }
        case Peer::Kind::List:
            if (auto* list = dynamic_cast<ListState*>(w->control.get())) {
                FillList(static_cast<QListWidget*>(peer.outer.data()), *list);
            }
            break;
        case Peer::Kind::Combo:
            if (auto* list = dynamic_cast<ListState*>(w->control.get())) {
                FillCombo(static_cast<QComboBox*>(peer.outer.data()), *w, *list);
            }
            break;
        case Peer::Kind::Edit: {
            auto* edit = static_cast<QLineEdit*>(peer.outer.data());
            const QSignalBlocker blocker(edit);
            edit->setReadOnly(w->style & ES_READONLY);
            if (auto* state = dynamic_cast<EditState*>(w->control.get())) {
                if (edit->text() != Latin1(w->text)) {
                    edit->setText(Latin1(w->text));
                }
                int start = static_cast<int>(std::min(state->selStart, state->selEnd));
                int end = static_cast<int>(std::max(state->selStart, state->selEnd));
                if (end > start) {
                    edit->setSelection(start, end - start);
                } else {
                    edit->setCursorPosition(start);
                }
            }
            break;
        }
        case Peer::Kind::MultiLineEdit: {
            auto* edit = static_cast<QPlainTextEdit*>(peer.outer.data());
            const QSignalBlocker blocker(edit);
            edit->setReadOnly(w->style & ES_READONLY);
            if (edit->toPlainText() != Latin1(w->text)) {
                edit->setPlainText(Latin1(w->text));
            }
            break;
        }
        default:
            break;
    }
}

void QtBackend::syncScrollBars(HWND window, Peer& peer) {
    if (peer.canvas) {
        peer.canvas->updateScrollBars();
    }
    (void)window;
}

}  // namespace farvane::ui::qt
