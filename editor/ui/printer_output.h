// A print job of a document on a printer device context: the printer font, the abort
// procedure, the document, the pages and the end or abort of the document. The print
// command and fvedit-replay share it; the window handling around a job is the caller's.
#pragma once

#include <functional>
#include <string>

#include "editor/core/edit_window.h"
#include "platform/ui/ui.h"

namespace fvedit {

using farvane::ui::ABORTPROC;
using farvane::ui::HDC;

struct PrintJobRequest {
    HDC dc = nullptr;
    const EditWindow* window = nullptr;
    ABORTPROC abortProc = nullptr;
    const volatile bool* stop = nullptr;  // set when the user cancels
    // Called once the document has started; false ends the job (the document is aborted).
    std::function<bool()> started;
};

// Runs the job. Returns 1 when the document was printed, 0 when it was refused at its
// start, stopped or a page failed. The DC stays the caller's.
int PrintDocumentOn(const PrintJobRequest& request);

// The file name the header's %f shows and a PDF is named after: the document's file name
// without its folder ("Untitled" for a new document).
std::string PrintedFileName(const EditWindow* window);

// With FARVANE_PRINT_PDF=FOLDER, a PDF printer context on FOLDER/NAME.pdf for the document;
// otherwise the default printer's context (null when there is none).
HDC PrinterDcFor(HWND owner, const EditWindow* window);
// The default printer's context through the print dialog's return-default form, or null.
HDC FVGetPrinterDC(HWND owner);

}  // namespace fvedit
