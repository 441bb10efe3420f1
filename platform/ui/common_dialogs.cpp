#include <cstring>
#include <string>

#include "platform/ui/common_dialog_api.h"
#include "platform/ui/device_context.h"
#include "platform/ui/internal.h"

namespace farvane::ui {

namespace {

DWORD g_lastError = 0;

bool CheckSize(DWORD given, std::size_t expected) {
    if (given != expected) {
        g_lastError = CDERR_STRUCTSIZE;
        return false;
    }
    return true;
}

}  // namespace

DWORD CommDlgExtendedError() {
    return g_lastError;
}

BOOL StoreChosenFileName(OPENFILENAMEA* request, const std::string& path) {
    if (!request->lpstrFile || path.size() + 1 > request->nMaxFile) {
        // The platform reports the size needed in the first two bytes.
        if (request->lpstrFile && request->nMaxFile >= 2) {
            auto needed = static_cast<WORD>(std::min<std::size_t>(path.size() + 1, 0xFFFF));
            std::memcpy(request->lpstrFile, &needed, sizeof needed);
        }
        g_lastError = FNERR_BUFFERTOOSMALL;
        return FALSE;
    }
    std::memcpy(request->lpstrFile, path.c_str(), path.size() + 1);
    std::size_t slash = path.find_last_of("/\\");
    std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = path.find_last_of('.');
    request->nFileOffset = static_cast<WORD>(nameStart);
    request->nFileExtension =
        static_cast<WORD>(dot == std::string::npos || dot < nameStart ? path.size() : dot + 1);
    if (request->lpstrFileTitle && request->nMaxFileTitle > 0) {
        CopyOut(path.substr(nameStart), request->lpstrFileTitle,
                static_cast<int>(request->nMaxFileTitle));
    }
    return TRUE;
}

BOOL GetOpenFileNameA(OPENFILENAMEA* request) {
    g_lastError = 0;
    if (!request || !CheckSize(request->lStructSize, sizeof(OPENFILENAMEA))) {
        return FALSE;
    }
    return CurrentBackend().openFileDialog(*request, false);
}

BOOL GetSaveFileNameA(OPENFILENAMEA* request) {
    g_lastError = 0;
    if (!request || !CheckSize(request->lStructSize, sizeof(OPENFILENAMEA))) {
        return FALSE;
    }
    return CurrentBackend().openFileDialog(*request, true);
}

BOOL ChooseFontA(CHOOSEFONTA* request) {
    g_lastError = 0;
    if (!request || !CheckSize(request->lStructSize, sizeof(CHOOSEFONTA)) || !request->lpLogFont) {
        if (request && !request->lpLogFont) {
            g_lastError = CDERR_INITIALIZATION;
        }
        return FALSE;
    }
    return CurrentBackend().chooseFontDialog(*request);
}

HDC AdoptPrinter(std::unique_ptr<PrinterTarget> printer) {
    auto dc = std::make_unique<DeviceContext>();
    dc->clip = RECT{0, 0, printer->deviceCaps(HORZRES), printer->deviceCaps(VERTRES)};
    dc->printer = std::move(printer);
    dc->textColor = RGB(0, 0, 0);
    dc->backColor = RGB(255, 255, 255);
    dc->backMode = TRANSPARENT;
    return reinterpret_cast<HDC>(State().deviceContexts.insert(std::move(dc)));
}

BOOL PrintDlgA(PRINTDLGA* request) {
    g_lastError = 0;
    if (!request || !CheckSize(request->lStructSize, sizeof(PRINTDLGA))) {
        return FALSE;
    }
    if (!(request->Flags & PD_RETURNDEFAULT) && !CurrentBackend().printDialog(*request)) {
        return FALSE;
    }
    if (request->Flags & PD_RETURNDC) {
        std::unique_ptr<PrinterTarget> printer = CurrentBackend().openDefaultPrinter();
        if (!printer) {
            g_lastError = PDERR_NODEFAULTPRN;
            return FALSE;
        }
        request->hDC = AdoptPrinter(std::move(printer));
    }
    return TRUE;
}

BOOL PageSetupDlgA(PAGESETUPDLGA* request) {
    g_lastError = 0;
    if (!request || !CheckSize(request->lStructSize, sizeof(PAGESETUPDLGA))) {
        return FALSE;
    }
    return CurrentBackend().pageSetupDialog(*request);
}

}  // namespace farvane::ui
