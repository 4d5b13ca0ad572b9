#include "display/WavePrinter.h"

#include <QPrintDialog>
#include <QPrinter>

namespace {

std::unique_ptr<PrintService>& current()
{
    static std::unique_ptr<PrintService> service = std::make_unique<QtPrintService>();
    return service;
}

} // namespace

bool QtPrintService::printSetup(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

PrintService& printService()
{
    return *current();
}

std::unique_ptr<PrintService> setPrintService(std::unique_ptr<PrintService> service)
{
    std::swap(current(), service);
    return service;
}
