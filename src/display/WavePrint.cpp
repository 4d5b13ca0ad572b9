// File > Print of the signature display: the title, the chart as a picture in
// paper colours, and the page.
#include "chart/ExportColours.h"
#include "chart/SignatureChart.h"
#include "common/SystemError.h"
#include "display/TFm_TitleEnter.h"
#include "display/TWaveFrm.h"
#include "display/WavePrintPage.h"
#include "display/WavePrinter.h"
#include "display/WaveRecords.h"
#include "display/WaveView.h"
#include "metafile/EmfPicture.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QScopeGuard>

namespace {

QString printerDescription(const QPrinter& printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return QStringLiteral("the file \"%1\"").arg(printer.outputFileName());
    return QStringLiteral("the printer \"%1\"").arg(printer.printerName());
}

} // namespace

QPrinter& TWaveFrm::printer()
{
    // One printer for the window's life, so the dialog offers the choice made last time.
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void TWaveFrm::Print1Click()
{
    // Closed by its close box, the dialog still goes on to print the edit's text.
    m_title.exec();
    {
        const ExportColoursGuard paperColours(WaveChrt);
        writeChartPicture(*WaveChrt, QString::fromLatin1(ChartPictureName));
    }
    // The chart shows its own colours again before the print dialog opens.
    QCoreApplication::processEvents();
    PrintSignaturePage();
}

void TWaveFrm::PrintSignaturePage()
{
    QPrinter& page = printer();
    if (!printService().printSetup(this, page))
        return;
    const int W = page.width() - 1;
    const int H = page.height() - 1;

    // Everything that can fail is done before the document starts, so a
    // failure prints nothing rather than half a page.
    const EmfPicture chart = readChartPicture(QString::fromLatin1(ChartPictureName));
    const QString title = m_title.Ed_PrtTitle->text();
    const QList<DetailRow> rows = detailRows(m_view.waveRecords, m_view.viewFileCount, m_unreadable);

    Pn_Printing->raise();
    Pn_Printing->show();
    const auto hidePanel = qScopeGuard([this] { Pn_Printing->hide(); });
    QCoreApplication::processEvents();

    QPainter painter;
    if (!painter.begin(&page))
        throw SystemError(
            QStringLiteral("Printing could not start on %1.").arg(printerDescription(page)).toStdString());
    drawSignaturePage(painter, W, H, chart, title, rows);
    if (!painter.end())
        throw SystemError(
            QStringLiteral("The page could not be finished on %1.").arg(printerDescription(page)).toStdString());
}
