// Printing through QPrinter: to the system's default printer, or to a PDF file.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/backend.h"
#include "platform/ui/common_dialog_api.h"

class QWidget;

namespace farvane::ui::qt {

// A printer target on the default printer, or on a PDF file at `pdfPath` when it is not empty.
// The PDF is written beside its name and renamed into place when the document ends, so an
// aborted or failed job never leaves a partial file where a good one was. Null when there is
// no printer.
std::unique_ptr<PrinterTarget> OpenQtPrinter(const std::string& pdfPath);
// The printers of the system's printing service (CUPS), the default one marked.
std::vector<SystemPrinter> QtSystemPrinters();
BOOL RunPrintDialog(PRINTDLGA& request, QWidget* parent);
BOOL RunPageSetupDialog(PAGESETUPDLGA& request, QWidget* parent);

}  // namespace farvane::ui::qt
