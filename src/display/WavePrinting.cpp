#include "WavePrinting.h"

#include "chart/ExportColours.h"
#include "chart/SignatureChart.h"
#include "common/SystemError.h"
#include "display/TFm_TitleEnter.h"
#include "display/WavePrintPage.h"
#include "display/WavePrinter.h"
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

WavePrinting::WavePrinting(TFm_TitleEnter& title) : m_title(title) {}

WavePrinting::~WavePrinting() = default;

QPrinter& WavePrinting::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void WavePrinting::print(QWidget* parent, SignatureChart& chart, const WaveView& view,
                         const UnreadableWaves& unreadable, QFrame& busy)
{
    // Closed by its close box, the dialog still goes on to print the edit's text.
    m_title.exec();
    {
        const ExportColoursGuard paperColours(chart);
        writeChartPicture(chart, QString::fromLatin1(ChartPictureName));
    }
    // The chart shows its own colours again before the print dialog opens.
    QCoreApplication::processEvents();
    printPage(parent, view, unreadable, busy);
}

void WavePrinting::printPage(QWidget* parent, const WaveView& view, const UnreadableWaves& unreadable, QFrame& busy)
{
    QPrinter& page = printer();
    if (!printService().printSetup(parent, page))
        return;
    const int W = page.width() - 1;
    const int H = page.height() - 1;

    // Everything that can fail is done before the document starts, so a
    // failure prints nothing rather than half a page.
    const EmfPicture chart = readChartPicture(QString::fromLatin1(ChartPictureName));
    const QString title = m_title.Ed_PrtTitle->text();
    const QList<DetailRow> rows = detailRows(view.waveRecords, view.viewFileCount, unreadable);

    busy.raise();
    busy.show();
    const auto hidePanel = qScopeGuard([&busy] { busy.hide(); });
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
