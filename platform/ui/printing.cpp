// Printing on a printer device context: documents, pages and the abort procedure.
#include "platform/ui/device_context.h"
#include "platform/ui/internal.h"

namespace farvane::ui {

namespace {

DeviceContext* PrinterDc(HDC dc) {
    DeviceContext* context = FindDc(dc);
    return (context && context->printer) ? context : nullptr;
}

bool AskAbortProc(HDC dc, DeviceContext& context) {
    if (!context.abortProc) {
        return true;
    }
    ABORTPROC proc = context.abortProc;
    return proc(dc, 0) != FALSE;
}

}  // namespace

int StartDocA(HDC dc, const DOCINFOA* info) {
    DeviceContext* context = PrinterDc(dc);
    if (!context || context->docStarted) {
        return SP_ERROR;
    }
    std::string name = (info && info->lpszDocName) ? info->lpszDocName : "";
    if (!context->printer->startDoc(name)) {
        return SP_ERROR;
    }
    context->docStarted = true;
    static int jobs = 0;
    return ++jobs;
}

int StartPage(HDC dc) {
    DeviceContext* context = PrinterDc(dc);
    if (!context || !context->docStarted || context->pageStarted) {
        return SP_ERROR;
    }
    if (!context->printer->startPage()) {
        return SP_ERROR;
    }
    context->pageStarted = true;
    return 1;
}

int EndPage(HDC dc) {
    DeviceContext* context = PrinterDc(dc);
    if (!context || !context->pageStarted) {
        return SP_ERROR;
    }
    context->pageStarted = false;
    if (!context->printer->endPage()) {
        return SP_ERROR;
    }
    if (!AskAbortProc(dc, *context)) {
        if ((context = PrinterDc(dc)) != nullptr) {
            context->printer->abortDoc();
            context->docStarted = false;
        }
        return SP_APPABORT;
    }
    return 1;
}

int EndDoc(HDC dc) {
    DeviceContext* context = PrinterDc(dc);
    if (!context || !context->docStarted) {
        return SP_ERROR;
    }
    if (context->pageStarted) {
        context->pageStarted = false;
        context->printer->endPage();
    }
    context->docStarted = false;
    return context->printer->endDoc() ? 1 : SP_ERROR;
}

int AbortDoc(HDC dc) {
    DeviceContext* context = PrinterDc(dc);
    if (!context) {
        return SP_ERROR;
    }
    if (context->docStarted) {
        context->printer->abortDoc();
    }
    context->docStarted = false;
    context->pageStarted = false;
    return 1;
}

int SetAbortProc(HDC dc, ABORTPROC proc) {
    DeviceContext* context = PrinterDc(dc);
    if (!context) {
        return SP_ERROR;
    }
    context->abortProc = proc;
    return 1;
}

}  // namespace farvane::ui
