#include "editor/ui/printer_output.h"

#include <cstdlib>

#include "editor/core/buffer.h"
#include "editor/core/editor_settings.h"
#include "editor/core/editor_strings.h"
#include "editor/view/print_job.h"

namespace fvedit {

using namespace farvane::ui;

namespace {

inline constexpr const char* kDocumentName = "print test";
inline constexpr const char* kPdfFolderVariable = "FARVANE_PRINT_PDF";

class DcDevice : public PrintDevice {
public:
    DcDevice(HDC dc, HFONT font, const volatile bool* stop) : dc_(dc), font_(font), stop_(stop) {}
    int TextWidth(const std::string& text) override {
        SIZE size{0, 0};
        GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    }
    void DrawText(int x, int y, const std::string& text) override {
        TextOutA(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
    }
    int StartPage() override { return farvane::ui::StartPage(dc_); }
    int EndPage() override { return farvane::ui::EndPage(dc_); }
    void PageStarted() override {
        if (font_ != nullptr) {
            SelectObject(dc_, font_);
        }
    }
    bool Stopped() override { return stop_ != nullptr && *stop_; }

private:
    HDC dc_;
    HFONT font_;
    const volatile bool* stop_;
};

HFONT PrinterFont(HDC dc) {
    if (editorSettings.printerFontFace[0] == '\0') {
        return nullptr;
    }
    LOGFONTA font{};
    font.lfHeight = -MulDiv(editorSettings.printerFontSize, GetDeviceCaps(dc, LOGPIXELSY), 72);
    font.lfWeight = 400;
    std::snprintf(font.lfFaceName, sizeof font.lfFaceName, "%s", editorSettings.printerFontFace);
    return CreateFontIndirectA(&font);
}

PageLayout LayoutOn(HDC dc) {
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    const EditorSettings& s = editorSettings;
    return LayOutPage(GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES),
                      metrics.tmHeight + metrics.tmExternalLeading, GetDeviceCaps(dc, LOGPIXELSX),
                      GetDeviceCaps(dc, LOGPIXELSY), s.marginLeft, s.marginRight, s.marginTop,
                      s.marginBottom);
}

}  // namespace

std::string PrintedFileName(const EditWindow* window) {
    std::string path = window->buffer->pathName;
    if (path.empty()) {
        return EditorString(IDS_UNTITLED);
    }
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int PrintDocumentOn(const PrintJobRequest& request) {
    HDC dc = request.dc;
    HFONT font = PrinterFont(dc);
    HGDIOBJ previous = font != nullptr ? SelectObject(dc, font) : nullptr;
    SetAbortProc(dc, request.abortProc);
    DOCINFOA info;
    info.lpszDocName = kDocumentName;
    int result = 0;
    if (StartDocA(dc, &info) > 0) {
        if (request.started && !request.started()) {
            AbortDoc(dc);
        } else {
            PageLayout page = LayoutOn(dc);
            PrintTemplates templates{editorSettings.printHeader, editorSettings.printFooter,
                                     FieldsForToday(PrintedFileName(request.window).c_str())};
            DcDevice device(dc, font, request.stop);
            PrintOutcome outcome = PrintWindowText(request.window, device, page, templates);
            if (outcome.stopped) {
                AbortDoc(dc);
            } else if (!outcome.pageFailed) {
                FinishPrint(device, page, templates);
                result = EndDoc(dc) > 0 ? 1 : 0;
            }
        }
    }
    if (font != nullptr) {
        SelectObject(dc, previous);
        DeleteObject(font);
    }
    return result;
}

HDC FVGetPrinterDC(HWND owner) {
    PRINTDLGA request;
    request.hwndOwner = owner;
    request.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    return PrintDlgA(&request) ? request.hDC : nullptr;
}

HDC PrinterDcFor(HWND owner, const EditWindow* window) {
    const char* folder = std::getenv(kPdfFolderVariable);
    if (folder == nullptr || *folder == '\0') {
        return FVGetPrinterDC(owner);
    }
    std::string path = folder;
    if (path.back() != '/') {
        path += '/';
    }
    return CreatePdfDC((path + PrintedFileName(window) + ".pdf").c_str());
}

}  // namespace fvedit
