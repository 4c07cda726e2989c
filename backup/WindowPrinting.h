#pragma once
// Printing an image of a window on the system's default printer. Tests
// replace the printer with a handler, so they can say "no printer" or look at
// the page without a print system.
#include <QImage>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

struct PrintFailure {
    int number = 0;
    QString description;
};

// Printer error: the number every printing failure carries.
constexpr int kPrinterError = 482;

// Prints the window as it looks now, fitted to one page of the default
// printer; nothing when the page was printed, else what went wrong.
std::optional<PrintFailure> PrintWindowImage(QWidget* window);

// Replaces the default printer: the handler receives the image that would be
// printed and says whether printing failed. An empty handler restores the
// real printer.
using PrintHandler = std::function<std::optional<PrintFailure>(const QImage&)>;
void SetPrintHandler(PrintHandler handler);
