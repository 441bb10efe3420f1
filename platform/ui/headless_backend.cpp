#include "platform/ui/headless_backend.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "platform/ui/common_dialog_api.h"
#include "platform/ui/dialog_api.h"
#include "platform/ui/internal.h"
#include "platform/ui/message_box_answer.h"

namespace farvane::ui {

namespace {

// A page of a headless printer: what was drawn, in order.
class PageRecorder : public Surface {
public:
    PageRecorder(int width, int height, std::vector<TextRun>* runs)
        : width_(width), height_(height), runs_(runs) {}
    int width() const override { return width_; }
    int height() const override { return height_; }
    void resize(int, int) override {}
    void fillRect(const RECT&, COLORREF, const RECT&) override {}
    void drawText(int x, int y, std::string_view text, const FontSpec&, const TextStyle&,
                  const RECT&) override {
        runs_->push_back(TextRun{x, y, std::string(text)});
    }
    void invertRect(const RECT&, const RECT&) override {}
    void drawFrame(const RECT&, COLORREF, const RECT&) override {}
    void scroll(int, int, const RECT&) override {}
    int textWidth(std::string_view text, const FontSpec& font) const override {
        return static_cast<int>(text.size()) * font.metrics.tmAveCharWidth;
    }

private:
    int width_;
    int height_;
    std::vector<TextRun>* runs_;
};

// A letter-size page at 120 dots per inch with a quarter-inch unprintable border.
class HeadlessPrinter : public PrinterTarget {
public:
    explicit HeadlessPrinter(std::shared_ptr<std::vector<PrintedDocument>> log,
                             std::string outputPath = "")
        : log_(std::move(log)), outputPath_(std::move(outputPath)) {}

    int deviceCaps(int index) const override {
        switch (index) {
            case HORZRES:
                return 960;
            case VERTRES:
                return 1260;
            case LOGPIXELSX:
            case LOGPIXELSY:
                return 120;
            case PHYSICALWIDTH:
                return 1020;
            case PHYSICALHEIGHT:
                return 1320;
            case HORZSIZE:
                return 203;
            case VERTSIZE:
                return 267;
            case BITSPIXEL:
            case PLANES:
                return 1;
            default:
                return 0;
        }
    }
    bool startDoc(const std::string& name) override {
        log_->push_back(
            PrintedDocument{outputPath_.empty() ? name : outputPath_, {}, false, false});
        document_ = log_->size() - 1;
        return true;
    }
    bool startPage() override {
        if (document_ == kNone) {
            return false;
        }
        (*log_)[document_].pages.emplace_back();
        page_ = std::make_unique<PageRecorder>(deviceCaps(HORZRES), deviceCaps(VERTRES),
                                               &(*log_)[document_].pages.back());
        return true;
    }
    Surface* page() override { return page_.get(); }
    bool endPage() override {
        page_.reset();
        return document_ != kNone;
    }
    bool endDoc() override {
        if (document_ == kNone) {
            return false;
        }
        (*log_)[document_].finished = true;
        document_ = kNone;
        return true;
    }
    void abortDoc() override {
        if (document_ != kNone) {
            (*log_)[document_].aborted = true;
            document_ = kNone;
        }
        page_.reset();
    }
    FontSpec resolveFont(const LOGFONTA& logFont) const override {
        FontSpec fontSpec;
        fontSpec.logFont = logFont;
        fontSpec.metrics = HeadlessFontMetrics(logFont);
        return fontSpec;
    }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::shared_ptr<std::vector<PrintedDocument>> log_;
    std::size_t document_ = kNone;
    std::unique_ptr<PageRecorder> page_;
    std::string outputPath_;
};

}  // namespace

TEXTMETRICA HeadlessFontMetrics(const LOGFONTA& logFont) {
    TEXTMETRICA metrics;
    int height = logFont.lfHeight == 0 ? 16
                 : logFont.lfHeight > 0
                     ? logFont.lfHeight
                     : (-logFont.lfHeight * 6) / 5;  // character height plus leading
    height = std::clamp(height, 1, 4096);
    bool fixed = (logFont.lfPitchAndFamily & 0x3) == FIXED_PITCH ||
                 (logFont.lfPitchAndFamily & 0xF0) == FF_MODERN;
    metrics.tmHeight = height;
    metrics.tmAscent = height * 4 / 5;
    metrics.tmDescent = height - metrics.tmAscent;
    metrics.tmInternalLeading = logFont.lfHeight < 0 ? height + logFont.lfHeight : 0;
    metrics.tmAveCharWidth = std::max(1, fixed ? height / 2 : height * 6 / 13);
    metrics.tmMaxCharWidth = fixed ? metrics.tmAveCharWidth : metrics.tmAveCharWidth * 2;
    metrics.tmWeight = logFont.lfWeight ? logFont.lfWeight : FW_NORMAL;
    metrics.tmPitchAndFamily = logFont.lfPitchAndFamily;
    metrics.tmCharSet = logFont.lfCharSet;
    return metrics;
}

GridSurface::GridSurface(int width, int height) : width_(0), height_(0) {
    resize(width, height);
}

void GridSurface::resize(int width, int height) {
    int columns = std::max(0, (width + kCellWidth - 1) / kCellWidth);
    int rows = std::max(0, (height + kCellHeight - 1) / kCellHeight);
    std::vector<Cell> cells(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
    for (int r = 0; r < std::min(rows, rows_); ++r) {
        for (int c = 0; c < std::min(columns, columns_); ++c) {
            cells[static_cast<std::size_t>(r * columns + c)] =
                cells_[static_cast<std::size_t>(r * columns_ + c)];
        }
    }
    cells_ = std::move(cells);
    columns_ = columns;
    rows_ = rows;
    width_ = std::max(0, width);
    height_ = std::max(0, height);
}

GridSurface::Cell* GridSurface::cellAt(int column, int row) {
    if (column < 0 || row < 0 || column >= columns_ || row >= rows_) {
        return nullptr;
    }
    return &cells_[static_cast<std::size_t>(row * columns_ + column)];
}

const GridSurface::Cell* GridSurface::cellAt(int column, int row) const {
    return const_cast<GridSurface*>(this)->cellAt(column, row);
}

RECT GridSurface::cellsOf(const RECT& rect, const RECT& clip) const {
    RECT area = IntersectRects(rect, clip);
    if (IsRectEmptyValue(area)) {
        return RECT{};
    }
    return RECT{area.left / kCellWidth, area.top / kCellHeight,
                (area.right + kCellWidth - 1) / kCellWidth,
                (area.bottom + kCellHeight - 1) / kCellHeight};
}

void GridSurface::fillRect(const RECT& rect, COLORREF color, const RECT& clip) {
    RECT cells = cellsOf(rect, clip);
    for (int r = cells.top; r < cells.bottom; ++r) {
        for (int c = cells.left; c < cells.right; ++c) {
            if (Cell* cell = cellAt(c, r)) {
                *cell = Cell{' ', 0, color};
            }
        }
    }
}

void GridSurface::drawText(int x, int y, std::string_view text, const FontSpec& font,
                           const TextStyle& style, const RECT& clip) {
    int advance = std::max<int>(1, font.metrics.tmAveCharWidth);
    int row = y >= 0 ? y / kCellHeight : -1;
    int clipTop = clip.top / kCellHeight;
    int clipBottom = (clip.bottom + kCellHeight - 1) / kCellHeight;
    if (row < clipTop || row >= clipBottom) {
        return;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        int px = x + static_cast<int>(i) * advance;
        if (px < clip.left || px >= clip.right) {
            continue;
        }
        if (Cell* cell = cellAt(px / kCellWidth, row)) {
            cell->ch = text[i];
            cell->text = style.textColor;
            if (style.opaque) {
                cell->back = style.backColor;
            }
        }
    }
}

void GridSurface::invertRect(const RECT& rect, const RECT& clip) {
    RECT cells = cellsOf(rect, clip);
    for (int r = cells.top; r < cells.bottom; ++r) {
        for (int c = cells.left; c < cells.right; ++c) {
            if (Cell* cell = cellAt(c, r)) {
                cell->back ^= 0xFFFFFF;
                cell->text ^= 0xFFFFFF;
            }
        }
    }
}

void GridSurface::drawFrame(const RECT&, COLORREF, const RECT&) {}

void GridSurface::scroll(int dx, int dy, const RECT& area) {
    RECT cells = cellsOf(area, RECT{0, 0, width_, height_});
    int dc = dx / kCellWidth;
    int dr = dy / kCellHeight;
    std::vector<Cell> copy = cells_;
    for (int r = cells.top; r < cells.bottom; ++r) {
        for (int c = cells.left; c < cells.right; ++c) {
            int fromRow = r - dr;
            int fromColumn = c - dc;
            if (fromRow < cells.top || fromRow >= cells.bottom || fromColumn < cells.left ||
                fromColumn >= cells.right) {
                continue;  // uncovered: keeps its old content until painted
            }
            cells_[static_cast<std::size_t>(r * columns_ + c)] =
                copy[static_cast<std::size_t>(fromRow * columns_ + fromColumn)];
        }
    }
}

int GridSurface::textWidth(std::string_view text, const FontSpec& font) const {
    return static_cast<int>(text.size()) * font.metrics.tmAveCharWidth;
}

std::string GridSurface::row(int index) const {
    std::string result;
    for (int c = 0; c < columns_; ++c) {
        result += cellAt(c, index) ? cellAt(c, index)->ch : ' ';
    }
    return result;
}

COLORREF GridSurface::backColorAt(int column, int row) const {
    const Cell* cell = cellAt(column, row);
    return cell ? cell->back : 0;
}

COLORREF GridSurface::textColorAt(int column, int row) const {
    const Cell* cell = cellAt(column, row);
    return cell ? cell->text : 0;
}

std::unique_ptr<Surface> HeadlessBackend::createSurface(HWND, int width, int height) {
    return std::make_unique<GridSurface>(width, height);
}

FontSpec HeadlessBackend::resolveFont(const LOGFONTA& logFont, int stockId) {
    FontSpec fontSpec;
    fontSpec.logFont = logFont;
    fontSpec.stockId = stockId;
    fontSpec.metrics = HeadlessFontMetrics(logFont);
    return fontSpec;
}

void HeadlessBackend::pumpEvents(DWORD milliseconds) {
    std::unique_lock lock(wakeMutex_);
    if (!woken_ && milliseconds > 0) {
        wakeSignal_.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return woken_; });
    }
    woken_ = false;
}

void HeadlessBackend::wake() {
    std::lock_guard lock(wakeMutex_);
    woken_ = true;
    wakeSignal_.notify_all();
}

int HeadlessBackend::messageBox(HWND owner, const std::string& text, const std::string& caption,
                                UINT type) {
    int scripted = 0;
    if (MessageBoxAsks(type) && !messageBoxAnswers_.empty()) {
        scripted = messageBoxAnswers_.front();
        messageBoxAnswers_.pop_front();
    }
    int answer = UnattendedMessageBoxAnswer(type, scripted);
    messageBoxes_.push_back(ShownMessageBox{owner, text, caption, type, answer});
    // Nobody sees a headless program's boxes: its error output says what they said.
    std::fprintf(stderr, "message box [%s]: %s\n", caption.c_str(), text.c_str());
    return answer;
}

void HeadlessBackend::beep(UINT) {
    ++beeps_;
}

BOOL HeadlessBackend::openFileDialog(OPENFILENAMEA& request, bool save) {
    ShownFileDialog shown;
    shown.title = request.lpstrTitle ? request.lpstrTitle : "";
    shown.save = save;
    if (request.lpstrFilter) {
        for (const char* p = request.lpstrFilter; *p; p += std::strlen(p) + 1) {
            shown.filter += p;
            shown.filter += '|';
        }
    }
    if (request.lpstrFile && request.nMaxFile > 0) {
        shown.initialFile.assign(request.lpstrFile, strnlen(request.lpstrFile, request.nMaxFile));
    }
    fileDialogs_.push_back(shown);
    if (fileAnswers_.empty()) {
        return FALSE;
    }
    std::optional<std::string> answer = fileAnswers_.front();
    fileAnswers_.pop_front();
    if (!answer) {
        return FALSE;
    }
    return StoreChosenFileName(&request, *answer);
}

BOOL HeadlessBackend::chooseFontDialog(CHOOSEFONTA& request) {
    if (fontAnswers_.empty()) {
        return FALSE;
    }
    auto [font, pointSize] = fontAnswers_.front();
    fontAnswers_.pop_front();
    if (!font) {
        return FALSE;
    }
    *request.lpLogFont = *font;
    request.iPointSize = pointSize * 10;
    return TRUE;
}

BOOL HeadlessBackend::printDialog(PRINTDLGA&) {
    if (printAnswers_.empty()) {
        return FALSE;
    }
    bool ok = printAnswers_.front();
    printAnswers_.pop_front();
    return ok ? TRUE : FALSE;
}

BOOL HeadlessBackend::pageSetupDialog(PAGESETUPDLGA& request) {
    if (pageSetupAnswers_.empty()) {
        return FALSE;
    }
    std::optional<RECT> margins = pageSetupAnswers_.front();
    pageSetupAnswers_.pop_front();
    if (!margins) {
        return FALSE;
    }
    request.rtMargin = *margins;
    request.ptPaperSize =
        (request.Flags & PSD_INHUNDREDTHSOFMILLIMETERS) ? POINT{21590, 27940} : POINT{8500, 11000};
    return TRUE;
}

std::unique_ptr<PrinterTarget> HeadlessBackend::openDefaultPrinter() {
    if (!hasPrinter_) {
        return nullptr;
    }
    return std::make_unique<HeadlessPrinter>(printed_);
}

std::unique_ptr<PrinterTarget> HeadlessBackend::openPdfPrinter(const std::string& path) {
    return std::make_unique<HeadlessPrinter>(printed_, path);
}

bool HeadlessBackend::clipboardHasText() {
    return clipboard_.has_value();
}
std::string HeadlessBackend::clipboardText() {
    return clipboard_.value_or(std::string());
}
void HeadlessBackend::setClipboardText(const std::string& text) {
    clipboard_ = text;
}
void HeadlessBackend::emptyClipboard() {
    clipboard_.reset();
}

GridSurface* HeadlessBackend::GridOf(HWND window) {
    Window* w = FindWindowObject(window);
    return w ? dynamic_cast<GridSurface*>(w->surface.get()) : nullptr;
}

void InstallBackend(std::unique_ptr<Backend> backend) {
    ResetModel();
    State().backend = std::move(backend);
}

HeadlessBackend& UseHeadlessBackend() {
    auto backend = std::make_unique<HeadlessBackend>();
    HeadlessBackend& result = *backend;
    ClearModalDialogHandlers();
    InstallBackend(std::move(backend));
    EnsureInitialised();
    return result;
}

HeadlessBackend* CurrentHeadlessBackend() {
    return dynamic_cast<HeadlessBackend*>(State().backend.get());
}

}  // namespace farvane::ui
