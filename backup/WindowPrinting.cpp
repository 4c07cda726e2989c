#include "backup/WindowPrinting.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

namespace {

PrintHandler& printHandler() {
    static PrintHandler handler;
    return handler;
}

std::optional<PrintFailure> printOnDefaultPrinter(const QImage& image) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return PrintFailure{kPrinterError, QStringLiteral("There is no default printer")};
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Tamsel Softwares Catalog"));
    QPainter painter;
    if (!painter.begin(&printer))
        return PrintFailure{kPrinterError, "The printer " + info.printerName() + " could not start the page"};
    // The whole window on the page, as large as fits, its proportions kept.
    const QRect page = painter.viewport();
    QSize size = image.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.setViewport(page.x(), page.y(), size.width(), size.height());
    painter.setWindow(image.rect());
    painter.drawImage(0, 0, image);
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return PrintFailure{kPrinterError, "The printer " + info.printerName() + " did not take the page"};
    return std::nullopt;
}

}  // namespace

std::optional<PrintFailure> PrintWindowImage(QWidget* window) {
    const QImage image = window->grab().toImage();
    if (printHandler()) return printHandler()(image);
    return printOnDefaultPrinter(image);
}

void SetPrintHandler(PrintHandler handler) { printHandler() = std::move(handler); }
