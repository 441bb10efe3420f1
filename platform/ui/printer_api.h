// The system's printers and printing to a PDF file.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/user_types.h"

namespace farvane::ui {

// One printer the system knows: its queue name, its driver (make and model) and the port or
// connection it prints through.
struct SystemPrinter {
    std::string name;
    std::string driver;
    std::string port;
    bool isDefault = false;
};

// The printers the system offers now, in its order (empty when it has none or no printing
// service).
std::vector<SystemPrinter> SystemPrinters();

// A printer device context whose document becomes a PDF file at `path` when it ends (written
// beside it and renamed into place, so a failed or aborted job leaves nothing). Null when the
// backend cannot write PDF. Delete it with DeleteDC.
HDC CreatePdfDC(LPCSTR path);

}  // namespace farvane::ui
