// The system's printers and PDF printer contexts, from the backend.
#include "platform/ui/device_context.h"
#include "platform/ui/internal.h"
#include "platform/ui/printer_api.h"

namespace farvane::ui {

std::vector<SystemPrinter> SystemPrinters() {
    return CurrentBackend().printers();
}

HDC CreatePdfDC(LPCSTR path) {
    if (path == nullptr || *path == '\0') {
        return nullptr;
    }
    std::unique_ptr<PrinterTarget> printer = CurrentBackend().openPdfPrinter(path);
    if (!printer) {
        return nullptr;
    }
    return AdoptPrinter(std::move(printer));
}

}  // namespace farvane::ui
