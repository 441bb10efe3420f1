#include "platform/ui/qt/qt_printer.h"

#include <QFile>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/ui/qt/qt_surface.h"
#include "platform/ui/user_constants.h"

namespace farvane::ui::qt {

namespace {

class QtPrinterTarget : public PrinterTarget {
public:
    explicit QtPrinterTarget(const std::string& pdfPath)
        : printer_(QPrinter::HighResolution), finalPath_(QString::fromStdString(pdfPath)) {
        if (!finalPath_.isEmpty()) {
            partPath_ = finalPath_ + QStringLiteral(".part");
            printer_.setOutputFormat(QPrinter::PdfFormat);
            printer_.setOutputFileName(partPath_);
        }
        printer_.setPageSize(QPageSize(QPageSize::Letter));
    }
    ~QtPrinterTarget() override { abortDoc(); }

    int deviceCaps(int index) const override {
        QPrinter& printer = const_cast<QPrinter&>(printer_);
        QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
        QRect paper = printer.pageLayout().fullRectPixels(printer.resolution());
        switch (index) {
            case HORZRES:
                return page.width();
            case VERTRES:
                return page.height();
            case LOGPIXELSX:
            case LOGPIXELSY:
                return printer.resolution();
            case PHYSICALWIDTH:
                return paper.width();
            case PHYSICALHEIGHT:
                return paper.height();
            case HORZSIZE:
                return static_cast<int>(page.width() * 25.4 / printer.resolution());
            case VERTSIZE:
                return static_cast<int>(page.height() * 25.4 / printer.resolution());
            case BITSPIXEL:
                return 24;
            case PLANES:
                return 1;
            default:
                return 0;
        }
    }

    bool startDoc(const std::string& name) override {
        printer_.setDocName(QString::fromStdString(name));
        pages_ = 0;
        return true;
    }

    bool startPage() override {
        if (pages_ == 0) {
            if (!painter_.begin(&printer_)) {
                return false;
            }
        } else if (!printer_.newPage()) {
            return false;
        }
        ++pages_;
        surface_ =
            std::make_unique<PainterSurface>(&painter_, deviceCaps(HORZRES), deviceCaps(VERTRES));
        return true;
    }

    Surface* page() override { return surface_.get(); }

    bool endPage() override {
        surface_.reset();
        return painter_.isActive();
    }

    bool endDoc() override {
        surface_.reset();
        if (pages_ == 0 && !painter_.begin(&printer_)) {  // an empty document is one blank page
            return false;
        }
        bool ok = painter_.end();
        pages_ = 0;
        if (ok && !partPath_.isEmpty()) {
            QFile::remove(finalPath_);
            ok = QFile::rename(partPath_, finalPath_);
        }
        return ok;
    }

    void abortDoc() override {
        surface_.reset();
        if (painter_.isActive()) {
            printer_.abort();
            painter_.end();
        }
        pages_ = 0;
        if (!partPath_.isEmpty()) {
            QFile::remove(partPath_);
        }
    }

    FontSpec resolveFont(const LOGFONTA& logFont) const override {
        FontSpec fontSpec;
        fontSpec.logFont = logFont;
        QFont font = FontFor(logFont, -1);
        fontSpec.metrics = MetricsOf(font, const_cast<QPrinter*>(&printer_));
        return fontSpec;
    }

private:
    QPrinter printer_;
    QPainter painter_;
    QString finalPath_;
    QString partPath_;
    std::unique_ptr<PainterSurface> surface_;
    int pages_ = 0;
};

}  // namespace

std::unique_ptr<PrinterTarget> OpenQtPrinter(const std::string& pdfPath) {
    if (pdfPath.empty() && QPrinterInfo::defaultPrinter().isNull()) {
        return nullptr;
    }
    return std::make_unique<QtPrinterTarget>(pdfPath);
}

std::vector<SystemPrinter> QtSystemPrinters() {
    std::vector<SystemPrinter> printers;
    QString defaultName = QPrinterInfo::defaultPrinterName();
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
        SystemPrinter printer;
        printer.name = info.printerName().toStdString();
        printer.driver =
            info.makeAndModel().isEmpty() ? std::string("CUPS") : info.makeAndModel().toStdString();
        // The queue's location is what the system says about where it prints; a queue
        // without one is named by its print service.
        printer.port =
            info.location().isEmpty() ? std::string("CUPS") : info.location().toStdString();
        printer.isDefault = info.printerName() == defaultName;
        printers.push_back(printer);
    }
    return printers;
}

BOOL RunPrintDialog(PRINTDLGA& request, QWidget* parent) {
    QPrinter printer;
    QPrintDialog dialog(&printer, parent);
    if (request.Flags & PD_NOSELECTION) {
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    }
    return dialog.exec() == QDialog::Accepted ? TRUE : FALSE;
}

BOOL RunPageSetupDialog(PAGESETUPDLGA& request, QWidget* parent) {
    QPrinter printer;
    bool thousandths = !(request.Flags & PSD_INHUNDREDTHSOFMILLIMETERS);
    QPageLayout::Unit unit = thousandths ? QPageLayout::Inch : QPageLayout::Millimeter;
    double scale = thousandths ? 1000.0 : 100.0;
    if (request.Flags & PSD_MARGINS) {
        QMarginsF margins(request.rtMargin.left / scale, request.rtMargin.top / scale,
                          request.rtMargin.right / scale, request.rtMargin.bottom / scale);
        printer.setPageMargins(margins, unit);
    }
    QPageSetupDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return FALSE;
    }
    QMarginsF margins = printer.pageLayout().margins(unit);
    request.rtMargin = RECT{
        static_cast<LONG>(margins.left() * scale), static_cast<LONG>(margins.top() * scale),
        static_cast<LONG>(margins.right() * scale), static_cast<LONG>(margins.bottom() * scale)};
    QSizeF paper = printer.pageLayout().fullRect(unit).size();
    request.ptPaperSize =
        POINT{static_cast<LONG>(paper.width() * scale), static_cast<LONG>(paper.height() * scale)};
    return TRUE;
}

}  // namespace farvane::ui::qt
