#include "platform/ui/qt/qt_backend.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <cstring>

#include "platform/ui/common_dialog_api.h"
#include "platform/ui/internal.h"
#include "platform/ui/qt/qt_mouse_activation.h"
#include "platform/ui/qt/qt_printer.h"
#include "platform/ui/qt/qt_surface.h"
#include "platform/ui/qt/qt_widgets.h"
#include "platform/ui/ui.h"

namespace farvane::ui::qt {

namespace {

// "Text Files|*.txt|All Files (*.*)|*.*|" pairs, NUL-separated, as Qt name filters.
QStringList NameFilters(LPCSTR filter) {
    QStringList filters;
    if (!filter) {
        return filters;
    }
    for (const char* p = filter; *p;) {
        const char* name = p;
        p += std::strlen(p) + 1;
        if (!*p) {
            break;
        }
        const char* pattern = p;
        p += std::strlen(p) + 1;
        QString patterns = QString::fromLatin1(pattern).replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(QString::fromLatin1(name), patterns);
    }
    return filters;
}

QMessageBox::StandardButtons ButtonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MB_ABORTRETRYIGNORE:
            return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
        case MB_YESNOCANCEL:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MB_YESNO:
            return QMessageBox::Yes | QMessageBox::No;
        case MB_RETRYCANCEL:
            return QMessageBox::Retry | QMessageBox::Cancel;
        default:
            return QMessageBox::Ok;
    }
}

int IdOf(int button) {
    switch (button) {
        case QMessageBox::Ok:
            return IDOK;
        case QMessageBox::Cancel:
            return IDCANCEL;
        case QMessageBox::Abort:
            return IDABORT;
        case QMessageBox::Retry:
            return IDRETRY;
        case QMessageBox::Ignore:
            return IDIGNORE;
        case QMessageBox::Yes:
            return IDYES;
        case QMessageBox::No:
            return IDNO;
        default:
            return IDCANCEL;
    }
}

QMessageBox::Icon IconOf(UINT type) {
    switch (type & MB_ICONMASK) {
        case MB_ICONHAND:
            return QMessageBox::Critical;
        case MB_ICONQUESTION:
            return QMessageBox::Question;
        case MB_ICONEXCLAMATION:
            return QMessageBox::Warning;
        case MB_ICONASTERISK:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

}  // namespace

QtBackend* CurrentQtBackend() {
    return dynamic_cast<QtBackend*>(State().backend.get());
}

QtBackend::QtBackend()
    : dispatcher_(QAbstractEventDispatcher::instance()),
      mouseActivation_(std::make_unique<MouseActivationFilter>()) {
    QCoreApplication::instance()->installEventFilter(mouseActivation_.get());
}

QtBackend::~QtBackend() {
    if (waitCursorShown_) {
        QApplication::restoreOverrideCursor();
    }
    if (QCoreApplication* application = QCoreApplication::instance()) {
        application->removeEventFilter(mouseActivation_.get());
    }
    for (auto& [window, peer] : peers_) {
        if (peer.outer && !peer.outer->parent()) {
            delete peer.outer;
        }
    }
}

Peer* QtBackend::peerOf(HWND window) {
    auto it = peers_.find(window);
    return it == peers_.end() ? nullptr : &it->second;
}

QWidget* QtBackend::widgetOf(HWND window) const {
    auto it = peers_.find(window);
    return it == peers_.end() ? nullptr : it->second.outer.data();
}

void QtBackend::windowCreated(HWND window) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return;
    }
    Peer peer;
    if (w->style & WS_CHILD) {
        createChild(window, peer);
    } else {
        createFrame(window, peer);
    }
    if (!peer.outer) {
        return;
    }
    peers_[window] = peer;
    Peer& stored = peers_[window];
    w->peer = stored.outer.data();
    syncText(window, stored);
    syncGeometry(window, stored);
    syncControl(window, stored);
    syncMenu(window, stored);
    stored.outer->setEnabled(!(w->style & WS_DISABLED));
    if (w->style & WS_CHILD) {
        stored.outer->setVisible(false);  // shown when the model shows it
    }
}

void QtBackend::windowDestroyed(HWND window) {
    auto it = peers_.find(window);
    if (it == peers_.end()) {
        return;
    }
    Peer peer = it->second;
    peers_.erase(it);
    SyncGuard guard(*this);
    if (peer.subWindow) {
        if (QMdiArea* area = peer.subWindow->mdiArea()) {
            area->removeSubWindow(peer.subWindow);
        }
    }
    // Destruction may come from inside one of the widget's own signals.
    if (peer.outer) {
        peer.outer->hide();
        peer.outer->deleteLater();
    }
}

void QtBackend::windowChanged(HWND window, WindowChange change) {
    Peer* peer = peerOf(window);
    if (!peer || !peer->outer) {
        return;
    }
    Window* w = FindWindowObject(window);
    switch (change) {
        case WindowChange::Text:
            syncText(window, *peer);
            break;
        case WindowChange::Geometry:
            if (!syncing()) {
                syncGeometry(window, *peer);
            }
            break;
        case WindowChange::Visibility:
            syncVisibility(window, *peer);
            break;
        case WindowChange::Placement:
            if (!syncing()) {
                syncPlacement(window, *peer);
            }
            break;
        case WindowChange::Enabled:
            peer->outer->setEnabled(w && !(w->style & WS_DISABLED));
            break;
        case WindowChange::Style:
        case WindowChange::ControlContent:
        case WindowChange::ControlSelection:
            syncControl(window, *peer);
            if (peer->canvas && w) {
                peer->canvas->setAcceptDrops(w->exStyle & WS_EX_ACCEPTFILES);
            }
            break;
        case WindowChange::ScrollBars:
            syncScrollBars(window, *peer);
            break;
        case WindowChange::Menu:
            syncMenu(window, *peer);
            break;
        case WindowChange::Focus:
            if (!syncing() && State().focus == window) {
                SyncGuard guard(*this);
                QWidget* target = peer->canvas ? peer->canvas.data() : peer->outer.data();
                if (auto* combo = qobject_cast<QComboBox*>(target); combo && combo->lineEdit()) {
                    target = combo->lineEdit();
                }
                target->setFocus(Qt::OtherFocusReason);
            }
            if (peer->canvas) {
                peer->canvas->restartCaretBlink();
            }
            break;
        case WindowChange::Activation:
            if (!syncing()) {
                SyncGuard guard(*this);
                if (peer->kind == Peer::Kind::Frame && State().active == window) {
                    peer->outer->raise();
                    peer->outer->activateWindow();
                } else if (peer->kind == Peer::Kind::MdiChild && peer->subWindow) {
                    Window* parent = w ? FindWindowObject(w->parent) : nullptr;
                    if (parent && parent->mdiClient && parent->mdiClient->active == window) {
                        if (QMdiArea* area = peer->subWindow->mdiArea()) {
                            area->setActiveSubWindow(peer->subWindow);
                        }
                    }
                }
            }
            break;
        case WindowChange::Caret:
            if (peer->canvas) {
                peer->canvas->restartCaretBlink();
            }
            break;
        case WindowChange::ZOrder:
            if (!syncing() && peer->kind != Peer::Kind::Frame) {
                peer->outer->raise();
            }
            break;
    }
}

void QtBackend::surfaceUpdated(HWND window, const RECT& rect) {
    Peer* peer = peerOf(window);
    if (peer && peer->canvas) {
        peer->canvas->showDrawn(
            QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top));
    }
}

void QtBackend::surfaceScrolled(HWND window, int dx, int dy, const RECT& area) {
    Peer* peer = peerOf(window);
    if (peer && peer->canvas) {
        peer->canvas->showScrolled(
            dx, dy, QRect(area.left, area.top, area.right - area.left, area.bottom - area.top));
    }
}

// The wait cursor overrides every window's own until another cursor is set.
void QtBackend::cursorChanged(HCURSOR cursor) {
    CursorShape shape;
    bool wait = ShapeOfCursor(cursor, &shape) && shape == CursorShape::Wait;
    if (wait && !waitCursorShown_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (!wait && waitCursorShown_) {
        QApplication::restoreOverrideCursor();
    }
    waitCursorShown_ = wait;
}

std::unique_ptr<Surface> QtBackend::createSurface(HWND, int width, int height) {
    return std::make_unique<ImageSurface>(width, height);
}

FontSpec QtBackend::resolveFont(const LOGFONTA& logFont, int stockId) {
    FontSpec fontSpec;
    fontSpec.logFont = logFont;
    fontSpec.stockId = stockId;
    fontSpec.metrics = ScreenFontFor(logFont, stockId).metrics;
    return fontSpec;
}

void QtBackend::pumpEvents(DWORD milliseconds) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (milliseconds == 0 || woken_.exchange(false)) {
        return;
    }
    QTimer timer;
    timer.setSingleShot(true);
    timer.start(static_cast<int>(std::min<DWORD>(milliseconds, 1000)));
    while (timer.isActive() && !woken_.load()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    woken_ = false;
}

void QtBackend::wake() {
    woken_ = true;
    if (dispatcher_) {
        dispatcher_->wakeUp();
    }
}

int QtBackend::messageBox(HWND owner, const std::string& text, const std::string& caption,
                          UINT type) {
    QMessageBox box(IconOf(type), QString::fromLatin1(caption.c_str()),
                    QString::fromLatin1(text.c_str()), ButtonsOf(type),
                    widgetOf(TopLevelOf(owner)));
    // The buttons in the platform's order; MB_DEFBUTTONn picks one of them.
    std::vector<QMessageBox::StandardButton> order;
    for (QMessageBox::StandardButton button :
         {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No, QMessageBox::Abort,
          QMessageBox::Retry, QMessageBox::Ignore, QMessageBox::Cancel}) {
        if (ButtonsOf(type) & button) {
            order.push_back(button);
        }
    }
    auto defaultIndex = static_cast<std::size_t>((type & MB_DEFMASK) >> 8);
    if (defaultIndex < order.size()) {
        box.setDefaultButton(order[defaultIndex]);
    }
    if (unattended_) {
        QAbstractButton* chosen = box.defaultButton();
        return chosen ? IdOf(box.standardButton(chosen)) : IDOK;
    }
    int result = box.exec();
    return IdOf(result);
}

void QtBackend::beep(UINT) {
    QApplication::beep();
}

BOOL QtBackend::openFileDialog(OPENFILENAMEA& request, bool save) {
    if (unattended_) {
        return FALSE;
    }
    QFileDialog dialog(widgetOf(TopLevelOf(request.hwndOwner)),
                       QString::fromLatin1(request.lpstrTitle ? request.lpstrTitle : ""));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save || !(request.Flags & OFN_FILEMUSTEXIST) ? QFileDialog::AnyFile
                                                                    : QFileDialog::ExistingFile);
    if (!(request.Flags & OFN_OVERWRITEPROMPT)) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    }
    QStringList filters = NameFilters(request.lpstrFilter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (request.nFilterIndex >= 1 &&
            request.nFilterIndex <= static_cast<DWORD>(filters.size())) {
            dialog.selectNameFilter(filters[static_cast<int>(request.nFilterIndex) - 1]);
        }
    }
    if (request.lpstrInitialDir) {
        dialog.setDirectory(QString::fromLatin1(request.lpstrInitialDir));
    }
    if (request.lpstrFile && request.lpstrFile[0]) {
        dialog.selectFile(QString::fromLatin1(request.lpstrFile));
    }
    if (request.lpstrDefExt) {
        dialog.setDefaultSuffix(QString::fromLatin1(request.lpstrDefExt));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return FALSE;
    }
    request.nFilterIndex = static_cast<DWORD>(filters.indexOf(dialog.selectedNameFilter()) + 1);
    return StoreChosenFileName(&request, dialog.selectedFiles().first().toStdString());
}

BOOL QtBackend::chooseFontDialog(CHOOSEFONTA& request) {
    if (unattended_) {
        return FALSE;
    }
    bool ok = false;
    QFont initial = FontFor(*request.lpLogFont, -1);
    QFontDialog::FontDialogOptions options = QFontDialog::DontUseNativeDialog;
    if (request.Flags & CF_FIXEDPITCHONLY) {
        options |= QFontDialog::MonospacedFonts;
    }
    QFont font = QFontDialog::getFont(&ok, initial, widgetOf(TopLevelOf(request.hwndOwner)),
                                      QString(), options);
    if (!ok) {
        return FALSE;
    }
    LOGFONTA& out = *request.lpLogFont;
    out = LOGFONTA{};
    int points = font.pointSize() > 0 ? font.pointSize() : font.pixelSize() * 72 / 96;
    out.lfHeight = -MulDiv(points, 96, 72);
    out.lfWeight = font.bold() ? FW_BOLD : FW_NORMAL;
    out.lfItalic = font.italic();
    out.lfPitchAndFamily = QFontInfo(font).fixedPitch() ? FIXED_PITCH : VARIABLE_PITCH;
    std::strncpy(out.lfFaceName, font.family().toLatin1().constData(), LF_FACESIZE - 1);
    request.iPointSize = points * 10;
    return TRUE;
}

BOOL QtBackend::printDialog(PRINTDLGA& request) {
    if (unattended_) {
        return FALSE;
    }
    return RunPrintDialog(request, widgetOf(TopLevelOf(request.hwndOwner)));
}

BOOL QtBackend::pageSetupDialog(PAGESETUPDLGA& request) {
    if (unattended_) {
        return FALSE;
    }
    return RunPageSetupDialog(request, widgetOf(TopLevelOf(request.hwndOwner)));
}

std::unique_ptr<PrinterTarget> QtBackend::openDefaultPrinter() {
    return OpenQtPrinter(printerOutput_);
}

std::unique_ptr<PrinterTarget> QtBackend::openPdfPrinter(const std::string& path) {
    return path.empty() ? nullptr : OpenQtPrinter(path);
}

std::vector<SystemPrinter> QtBackend::printers() {
    return QtSystemPrinters();
}

bool QtBackend::clipboardHasText() {
    return !QGuiApplication::clipboard()->text().isEmpty();
}

std::string QtBackend::clipboardText() {
    return QGuiApplication::clipboard()->text().toLatin1().toStdString();
}

void QtBackend::setClipboardText(const std::string& text) {
    QGuiApplication::clipboard()->setText(
        QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

void QtBackend::emptyClipboard() {
    QGuiApplication::clipboard()->clear();
}

SIZE QtBackend::screenSize() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return SIZE{1024, 768};
    }
    QSize size = screen->size();
    return SIZE{size.width(), size.height()};
}

}  // namespace farvane::ui::qt
