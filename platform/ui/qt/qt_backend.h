// The Qt Widgets backend: each model window has a widget that mirrors it. Top-level windows are
// frame widgets with a menu bar, windows that paint themselves show their backing image, the
// multiple-document client is a QMdiArea, and the built-in controls are Qt's own widgets whose
// signals come back into the model as the user's actions. Input becomes posted messages.
#pragma once

#include <QPointer>
#include <QWidget>

#include <atomic>
#include <map>
#include <memory>
#include <string>

#include "platform/ui/backend.h"

class QAbstractEventDispatcher;
class QApplication;
class QMdiArea;
class QMdiSubWindow;
class QMenuBar;

namespace farvane::ui::qt {

class MouseActivationFilter;
class WindowWidget;

struct Peer {
    enum class Kind {
        Frame,
        Painted,
        Button,
        Static,
        Edit,
        MultiLineEdit,
        List,
        Combo,
        MdiArea,
        MdiChild
    };
    Kind kind = Kind::Painted;
    QPointer<QWidget> outer;            // the widget the model's rectangle places
    QPointer<WindowWidget> canvas;      // shows the window's image; children go here
    QPointer<QMenuBar> menuBar;         // frames only
    QPointer<QMdiSubWindow> subWindow;  // multiple-document children only
};

class QtBackend : public Backend {
public:
    QtBackend();
    ~QtBackend() override;

    const char* name() const override { return "qt"; }
    void windowCreated(HWND window) override;
    void windowDestroyed(HWND window) override;
    void windowChanged(HWND window, WindowChange change) override;
    void surfaceUpdated(HWND window, const RECT& rect) override;
    void surfaceScrolled(HWND window, int dx, int dy, const RECT& area) override;
    void cursorChanged(HCURSOR cursor) override;
    std::unique_ptr<Surface> createSurface(HWND window, int width, int height) override;
    FontSpec resolveFont(const LOGFONTA& logFont, int stockId) override;
    void pumpEvents(DWORD milliseconds) override;
    void wake() override;
    int messageBox(HWND owner, const std::string& text, const std::string& caption,
                   UINT type) override;
    void beep(UINT type) override;
    BOOL openFileDialog(OPENFILENAMEA& request, bool save) override;
    BOOL chooseFontDialog(CHOOSEFONTA& request) override;
    BOOL printDialog(PRINTDLGA& request) override;
    BOOL pageSetupDialog(PAGESETUPDLGA& request) override;
    std::unique_ptr<PrinterTarget> openDefaultPrinter() override;
    std::unique_ptr<PrinterTarget> openPdfPrinter(const std::string& path) override;
    std::vector<SystemPrinter> printers() override;
    bool clipboardHasText() override;
    std::string clipboardText() override;
    void setClipboardText(const std::string& text) override;
    void emptyClipboard() override;
    SIZE screenSize() override;

    // The widget that mirrors a window (the frame of a top-level window), or null.
    QWidget* widgetOf(HWND window) const;
    Peer* peerOf(HWND window);
    // True while the backend itself pushes a Qt change into the model, so that the model's
    // echo of it is not pushed back.
    bool syncing() const { return syncing_ > 0; }
    struct SyncGuard {
        explicit SyncGuard(QtBackend& backend) : backend_(backend) { ++backend_.syncing_; }
        ~SyncGuard() { --backend_.syncing_; }
        QtBackend& backend_;
    };

    // Printing goes to this PDF file instead of a printer (tests, and machines without one).
    void setPrinterOutputFile(const std::string& path) { printerOutput_ = path; }
    // Message boxes and common dialogs answer at once with their default instead of waiting
    // for a user (offscreen tests).
    void setUnattended(bool unattended) { unattended_ = unattended; }

private:
    void createFrame(HWND window, Peer& peer);
    void createChild(HWND window, Peer& peer);
    void syncGeometry(HWND window, Peer& peer);
    void syncText(HWND window, Peer& peer);
    void syncVisibility(HWND window, Peer& peer);
    void syncPlacement(HWND window, Peer& peer);
    void syncMenu(HWND window, Peer& peer);
    void syncControl(HWND window, Peer& peer);
    void syncScrollBars(HWND window, Peer& peer);
    QWidget* containerOf(HWND window);

    std::map<HWND, Peer> peers_;
    int syncing_ = 0;
    QAbstractEventDispatcher* dispatcher_ = nullptr;
    std::atomic<bool> woken_{false};
    std::string printerOutput_;
    bool unattended_ = false;
    std::unique_ptr<MouseActivationFilter> mouseActivation_;
    bool waitCursorShown_ = false;
};

// The backend when it is the Qt one, else null.
QtBackend* CurrentQtBackend();

}  // namespace farvane::ui::qt
