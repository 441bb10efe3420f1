// The headless backend: no drawing, no native windows. Windows that paint themselves draw into
// character grids; message boxes and common dialogs are answered from scripts that tests (or a
// program driven without a user) queue; printing records the text of each page.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/backend.h"

namespace farvane::ui {

// A window's drawing surface as a grid of character cells of 8 x 16 pixels; a character drawn
// at pixel x lands in cell x / 8 of row y / 16.
class GridSurface : public Surface {
public:
    static constexpr int kCellWidth = 8;
    static constexpr int kCellHeight = 16;

    GridSurface(int width, int height);

    int width() const override { return width_; }
    int height() const override { return height_; }
    void resize(int width, int height) override;
    void fillRect(const RECT& rect, COLORREF color, const RECT& clip) override;
    void drawText(int x, int y, std::string_view text, const FontSpec& font, const TextStyle& style,
                  const RECT& clip) override;
    void invertRect(const RECT& rect, const RECT& clip) override;
    void drawFrame(const RECT& rect, COLORREF color, const RECT& clip) override;
    void scroll(int dx, int dy, const RECT& area) override;
    int textWidth(std::string_view text, const FontSpec& font) const override;

    int columns() const { return columns_; }
    int rows() const { return rows_; }
    std::string row(int index) const;
    COLORREF backColorAt(int column, int row) const;
    COLORREF textColorAt(int column, int row) const;

private:
    struct Cell {
        char ch = ' ';
        COLORREF text = 0;
        COLORREF back = 0xFFFFFF;
    };
    Cell* cellAt(int column, int row);
    const Cell* cellAt(int column, int row) const;
    // The cells a pixel rectangle covers, clipped.
    RECT cellsOf(const RECT& rect, const RECT& clip) const;

    int width_;
    int height_;
    int columns_ = 0;
    int rows_ = 0;
    std::vector<Cell> cells_;
};

struct TextRun {
    int x = 0;
    int y = 0;
    std::string text;
};

struct PrintedDocument {
    std::string name;
    std::vector<std::vector<TextRun>> pages;
    bool finished = false;
    bool aborted = false;
};

struct ShownMessageBox {
    HWND owner = nullptr;
    std::string text;
    std::string caption;
    UINT type = 0;
    int answer = 0;
};

struct ShownFileDialog {
    std::string title;
    std::string filter;
    std::string initialFile;
    bool save = false;
};

class HeadlessBackend : public Backend {
public:
    const char* name() const override { return "headless"; }

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
    // Records the document as the default printer does, under the PDF's path as its name.
    std::unique_ptr<PrinterTarget> openPdfPrinter(const std::string& path) override;
    std::vector<SystemPrinter> printers() override { return printers_; }
    bool clipboardHasText() override;
    std::string clipboardText() override;
    void setClipboardText(const std::string& text) override;
    void emptyClipboard() override;
    SIZE screenSize() override { return screen_; }

    // Scripts: each answers the next dialog of its kind; without one a message box takes the
    // answer that changes nothing (message_box_answer.h) and the other dialogs are cancelled.
    void pushMessageBoxAnswer(int answer) { messageBoxAnswers_.push_back(answer); }
    void pushFileDialogAnswer(std::optional<std::string> path) { fileAnswers_.push_back(path); }
    void pushFontAnswer(std::optional<LOGFONTA> font, int pointSize) {
        fontAnswers_.push_back({font, pointSize});
    }
    void pushPrintDialogAnswer(bool ok) { printAnswers_.push_back(ok); }
    // Margins in the unit the request asks for; nullopt cancels.
    void pushPageSetupAnswer(std::optional<RECT> margins) { pageSetupAnswers_.push_back(margins); }

    const std::vector<ShownMessageBox>& messageBoxes() const { return messageBoxes_; }
    const std::vector<ShownFileDialog>& fileDialogs() const { return fileDialogs_; }
    const std::vector<PrintedDocument>& printedDocuments() const { return *printed_; }
    int beeps() const { return beeps_; }
    void setHasPrinter(bool hasPrinter) { hasPrinter_ = hasPrinter; }
    void setPrinters(std::vector<SystemPrinter> printers) { printers_ = std::move(printers); }
    void setScreenSize(SIZE size) { screen_ = size; }

    // The character grid of a window that has painted, or null.
    static GridSurface* GridOf(HWND window);

private:
    std::mutex wakeMutex_;
    std::condition_variable wakeSignal_;
    bool woken_ = false;

    std::deque<int> messageBoxAnswers_;
    std::deque<std::optional<std::string>> fileAnswers_;
    std::deque<std::pair<std::optional<LOGFONTA>, int>> fontAnswers_;
    std::deque<bool> printAnswers_;
    std::deque<std::optional<RECT>> pageSetupAnswers_;
    std::vector<ShownMessageBox> messageBoxes_;
    std::vector<ShownFileDialog> fileDialogs_;
    std::shared_ptr<std::vector<PrintedDocument>> printed_ =
        std::make_shared<std::vector<PrintedDocument>>();
    std::optional<std::string> clipboard_;
    int beeps_ = 0;
    bool hasPrinter_ = true;
    std::vector<SystemPrinter> printers_;
    SIZE screen_{1024, 768};
};

// Installs a fresh headless backend after destroying every window: tests call it first.
HeadlessBackend& UseHeadlessBackend();
// The current backend when it is the headless one, else null.
HeadlessBackend* CurrentHeadlessBackend();
// Installs a backend (the Qt backend installs itself through this).
void InstallBackend(std::unique_ptr<Backend> backend);

// Metrics of a font the way the headless backend measures it (also used for its printer).
TEXTMETRICA HeadlessFontMetrics(const LOGFONTA& logFont);

}  // namespace farvane::ui
