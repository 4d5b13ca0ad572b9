// Times the signature display offscreen at its designed size: the load pass
// for five files, one full repaint, a mouse move under the read-out, and the three ways the chart leaves the
// screen (metafile, PDF page, bitmap). Prints medians; never fails on speed.
#include "app/Program.h"
#include "chart/ChartCursor.h"
#include "chart/SignatureChart.h"
#include "display/TFm_TitleEnter.h"
#include "display/TWaveFrm.h"
#include "display/WaveExport.h"
#include "display/WavePrintPage.h"
#include "display/WavePrinter.h"
#include "qtcore/LocalPath.h"
#include "samplegen/SampleSignature.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QPrinter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

class PdfPrinter : public PrintService
{
public:
    QString file;
    bool printSetup(QWidget*, QPrinter& printer) override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        return true;
    }
};

void report(const char* what, const std::function<void()>& run, int reps, double goal)
{
    run(); // the first run fills caches
    std::vector<double> ms;
    QElapsedTimer t;
    for (int i = 0; i < reps; ++i) {
        t.start();
        run();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-44s median %7.2f ms  (min %.2f, max %.2f; goal < %.0f ms)\n", what, ms[ms.size() / 2], ms.front(),
                ms.back(), goal);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir work;
    qputenv("XDG_CONFIG_HOME", work.filePath(QStringLiteral("cfg")).toLocal8Bit());
    QApplication app(argc, argv);
    QDir::setCurrent(work.path()); // WaveChrt.EMF lands here
    Program program;
    TWaveFrm* const WaveFrm = program.WaveFrm;

    std::vector<std::string> files;
    for (std::uint32_t k = 0; k < 5; ++k) {
        const SignatureRecord r = makeSampleSignature(k);
        const QString path = work.filePath(QStringLiteral("H%1").arg(k));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(reinterpret_cast<const char*>(r.bytes.data()), static_cast<qint64>(r.bytes.size()));
        files.push_back(toPath(path));
    }
    WaveFrm->setFiles(files);
    WaveFrm->show();
    QCoreApplication::processEvents();
    SignatureChart* chart = WaveFrm->WaveChrt;
    std::printf("chart at %dx%d\n", chart->width(), chart->height());

    report(
        "load pass, five files", [WaveFrm] { WaveFrm->TMR_InitTimer(); }, 50, 30);
    report(
        "repaint, chart unchanged (cached picture)", [chart] { chart->viewport()->repaint(); }, 50, 16);
    // A change throws the cached picture away: toggling a channel twice
    // brings the chart back to where it was, and the repaint draws every curve.
    report(
        "repaint after a change, all curves drawn",
        [chart, WaveFrm] {
            WaveFrm->W1Ch1Click();
            WaveFrm->W1Ch1Click();
            chart->viewport()->repaint();
        },
        50, 16);
    // The read-out follows the mouse over the plot with all twenty curves
    // shown: one move and the repaint of what it changed, nothing else.
    {
        const QRectF plot = chart->chart()->plotArea();
        const QPoint a = chart->mapFromScene(plot.center() - QPointF(plot.width() / 4, 0));
        const QPoint b = chart->mapFromScene(plot.center() + QPointF(plot.width() / 4, 0));
        bool atA = false;
        auto move = [chart, a, b, &atA] {
            atA = !atA;
            const QPoint to = atA ? a : b;
            QMouseEvent event(QEvent::MouseMove, to, chart->viewport()->mapToGlobal(to), Qt::NoButton, Qt::NoButton,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(chart->viewport(), &event);
            QCoreApplication::processEvents(); // paints the rectangles the move dirtied
        };
        move();
        std::printf("read-out shown: %s, %lld rows\n", chart->readout()->isShown() ? "yes" : "no",
                    static_cast<long long>(chart->readout()->reading().rows.size()));
        report("mouse move, read-out over 20 curves", move, 200, 16);
    }
    report(
        "full render into an image (renderImage)", [chart] { (void)chart->renderImage(); }, 50, 16);
    report(
        "metafile WaveChrt.EMF (colours, write)",
        [chart] {
            const ExportColoursGuard paper(chart);
            writeChartPicture(*chart, QStringLiteral("WaveChrt.EMF"));
        },
        30, 100);
    auto* pdf = new PdfPrinter;
    pdf->file = work.filePath(QStringLiteral("page.pdf"));
    setPrintService(std::unique_ptr<PrintService>(pdf));
    report(
        "page to PDF (read metafile, compose)", [WaveFrm] { WaveFrm->PrintSignaturePage(); }, 20, 500);
    report(
        "bitmap export Wave.bmp",
        [chart, &work] { exportChartBitmap(*chart, work.filePath(QStringLiteral("Wave.bmp"))); }, 30, 100);
    WaveFrm->hide();
    return 0;
}
