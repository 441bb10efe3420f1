#include "replay_print.h"

#include <cstdlib>

#include "editor/core/block_ops.h"
#include "editor/ui/printer_output.h"
#include "platform/ui/qt/ui_start.h"

namespace {

// The windowing layer starts on first use, with Qt's offscreen platform unless the caller
// chose another: a replay never shows a window.
bool StartPrinting() {
    static int argc = 1;
    static char name[] = "fvedit-replay";
    static char* argv[] = {name, nullptr};
    static bool started = false;
    static bool usable = false;
    if (!started) {
        started = true;
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        setenv("FARVANE_UI", "qt", 1);
        usable = farvane::ui::StartUi(argc, argv, false) == farvane::ui::UiBackendKind::Qt;
    }
    return usable;
}

}  // namespace

std::string PrintCurrentWindowToPdf(const std::string& path) {
    if (pwinCurrent == nullptr) {
        return "no document to print";
    }
    if (!StartPrinting()) {
        return "cannot start the printing layer";
    }
    farvane::ui::HDC dc = farvane::ui::CreatePdfDC(path.c_str());
    if (dc == nullptr) {
        return "cannot print to " + path;
    }
    if (pwinCurrent->marking) {
        NormalizeBlock();
    }
    fvedit::PrintJobRequest request;
    request.dc = dc;
    request.window = pwinCurrent;
    int printed = fvedit::PrintDocumentOn(request);
    farvane::ui::DeleteDC(dc);
    return printed ? "" : "printing to " + path + " failed";
}
