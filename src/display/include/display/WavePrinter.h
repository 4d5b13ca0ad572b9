#pragma once

#include <memory>

class QPrinter;
class QWidget;

// The print dialog of the signature display, behind a seam so that tests can
// choose a printer (a PDF file) without a person at the dialog.
class PrintService
{
public:
    virtual ~PrintService() = default;
    // Lets the user choose and set up printer; true when confirmed, false when
    // cancelled (printer is then left as it was).
    virtual bool printSetup(QWidget* parent, QPrinter& printer) = 0;
};

// Qt's print dialog: CUPS printers and "Print to File (PDF)".
class QtPrintService : public PrintService
{
public:
    bool printSetup(QWidget* parent, QPrinter& printer) override;
};

// The service in use; Qt's print dialog unless a test installed another.
PrintService& printService();
// Installs service for the rest of the run (tests); returns the previous one.
std::unique_ptr<PrintService> setPrintService(std::unique_ptr<PrintService> service);
