// The interface between the windowing model and what shows it. The model owns every window's
// state; a backend mirrors that state (the Qt backend as widgets, the headless backend not at
// all), turns input into posted messages, and answers the few things only it can: waiting for
// input, fonts, message boxes, common dialogs, the clipboard and printers.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/printer_api.h"
#include "platform/ui/surface.h"
#include "platform/ui/user_types.h"

namespace farvane::ui {

struct OPENFILENAMEA;
struct CHOOSEFONTA;
struct PRINTDLGA;
struct PAGESETUPDLGA;

enum class WindowChange {
    Text,
    Geometry,
    Visibility,
    Enabled,
    Style,
    ControlContent,    // list items, edit text, check state
    ControlSelection,  // current selection of a list, combo or edit
    ScrollBars,
    Menu,
    Focus,
    Activation,
    Caret,
    Placement,  // minimised, maximised, restored
    ZOrder,
};

// A printer job's target: a sequence of pages and the device's geometry.
class PrinterTarget {
public:
    virtual ~PrinterTarget() = default;
    virtual int deviceCaps(int index) const = 0;
    virtual bool startDoc(const std::string& documentName) = 0;
    virtual bool startPage() = 0;
    virtual Surface* page() = 0;  // valid between startPage and endPage
    virtual bool endPage() = 0;
    virtual bool endDoc() = 0;
    virtual void abortDoc() = 0;
    // The font the printer uses for a logical font (device units).
    virtual FontSpec resolveFont(const LOGFONTA& logFont) const = 0;
};

class Backend {
public:
    virtual ~Backend() = default;
    virtual const char* name() const = 0;

    // Called after the model changed; the backend brings its mirror up to date.
    virtual void windowCreated(HWND) {}
    virtual void windowDestroyed(HWND) {}
    virtual void windowChanged(HWND, WindowChange) {}
    // Part of a window's surface was drawn and should be shown.
    virtual void surfaceUpdated(HWND, const RECT&) {}
    // The pixels of an area of a window's surface moved by (dx, dy); what they left uncovered
    // is drawn later. A backend that cannot move what it shows shows the whole area again.
    virtual void surfaceScrolled(HWND window, int, int, const RECT& area) {
        surfaceUpdated(window, area);
    }
    // SetCursor changed the cursor shown over the program's windows (null: the classes').
    virtual void cursorChanged(HCURSOR) {}

    // The drawing target of a window that paints itself.
    virtual std::unique_ptr<Surface> createSurface(HWND window, int width, int height) = 0;
    // Metrics of a font on the screen.
    virtual FontSpec resolveFont(const LOGFONTA& logFont, int stockId) = 0;

    // Waits at most `milliseconds` for native input and turns what arrives into messages.
    // Returns early when wake() is called from any thread.
    virtual void pumpEvents(DWORD milliseconds) = 0;
    virtual void wake() = 0;

    virtual int messageBox(HWND owner, const std::string& text, const std::string& caption,
                           UINT type) = 0;
    virtual void beep(UINT type) = 0;

    virtual BOOL openFileDialog(OPENFILENAMEA& request, bool save) = 0;
    virtual BOOL chooseFontDialog(CHOOSEFONTA& request) = 0;
    virtual BOOL printDialog(PRINTDLGA& request) = 0;
    virtual BOOL pageSetupDialog(PAGESETUPDLGA& request) = 0;
    virtual std::unique_ptr<PrinterTarget> openDefaultPrinter() = 0;
    // A printer whose document goes to a PDF file; null when the backend cannot write one.
    virtual std::unique_ptr<PrinterTarget> openPdfPrinter(const std::string& path) {
        (void)path;
        return nullptr;
    }
    virtual std::vector<SystemPrinter> printers() { return {}; }

    virtual bool clipboardHasText() = 0;
    virtual std::string clipboardText() = 0;
    virtual void setClipboardText(const std::string& text) = 0;
    virtual void emptyClipboard() = 0;

    virtual SIZE screenSize() = 0;
};

}  // namespace farvane::ui
