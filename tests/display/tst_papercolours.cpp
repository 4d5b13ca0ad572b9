// The curves on the printed page: every curve in a colour that shows on
// white, and the display's own colours back afterwards, whether the page was
// printed, the print was cancelled or its picture could not be written.
#include "WaveFixture.h"
#include "chart/ExportColours.h"
#include "chart/SignatureChart.h"
#include "display/TFm_TitleEnter.h"
#include "display/TWaveFrm.h"
#include "display/WavePrinter.h"
#include "samplegen/SampleSignature.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineSeries>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace {

using pixels::coloured;
using pixels::near;
using pixels::nearWhite;

constexpr int Dpi = 100;

} // namespace

class PaperColoursTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<WaveFixture> m_f;
    PdfPrinting* m_printing = nullptr;
    std::unique_ptr<ScopedPrinting> m_printingGuard;

    void print(const QString& pdf)
    {
        m_printing->output = m_f->path(pdf);
        QTimer::singleShot(0, m_f->title, [this] { m_f->title->Button1->click(); });
        m_f->wave->Print1->trigger();
    }
    // The page as pixels, without smoothing, so that a pixel has the colour
    // of the last thing drawn on it.
    QImage raster(const QString& pdf)
    {
        const QString base = m_f->path(pdf + QStringLiteral(".raster"));
        QProcess p;
        p.start(QStringLiteral("pdftoppm"),
                {QStringLiteral("-r"), QString::number(Dpi), QStringLiteral("-aa"), QStringLiteral("no"),
                 QStringLiteral("-aaVector"), QStringLiteral("no"), QStringLiteral("-thinlinemode"),
                 QStringLiteral("solid"), QStringLiteral("-singlefile"), QStringLiteral("-png"), m_f->path(pdf), base});
        p.waitForFinished(30000);
        return QImage(base + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
    }
    // The chart's rectangle on the page, in raster pixels.
    QRect chartOnPage() const
    {
        const QPrinter& p = *m_printing->printer;
        const QRectF paint = p.pageLayout().paintRect(QPageLayout::Point);
        auto at = [&](double fx, double fy) {
            const QPointF points = paint.topLeft() + QPointF(int(fx * (p.width() - 1)), int(fy * (p.height() - 1))) *
                                                         72.0 / p.resolution();
            return points * Dpi / 72.0;
        };
        return QRectF(at(0.03, 0.30), at(0.96, 0.90)).toRect();
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            QSKIP("poppler-utils (pdftoppm) is needed to look at the printed pages");
    }
    void init()
    {
        m_f = std::make_unique<WaveFixture>();
        m_printing = new PdfPrinting;
        m_printingGuard = std::make_unique<ScopedPrinting>(std::unique_ptr<PrintService>(m_printing));
    }
    void cleanup()
    {
        const bool unexpected = !m_f->dialogs->unexpected.isEmpty();
        const bool unanswered = !m_f->dialogs->allAnswered();
        const QString problems = m_f->dialogs->problems();
        m_f.reset();
        m_printingGuard.reset();
        QVERIFY2(!unexpected, qPrintable(problems));
        QVERIFY2(!unanswered, qPrintable(problems));
    }

    // Wave 3's first channel, white on screen, is printed dark: it can be
    // followed on the page and cuts no white gaps into the curves of waves 1
    // and 2 where it crosses them.
    void whiteCurveShowsOnThePrintedPage()
    {
        QVERIFY(m_f->view({makeSampleSignature(0), makeSampleSignature(1), makeSampleSignature(2)}));
        const int white = SignatureChart::seriesIndex(3, 1);
        // Wave 3's other channels, drawn after it, would hide much of it.
        m_f->keepOnly({0, 1, 2, 3, 4, 5, 6, 7, white});
        const QColor paperColour = SignatureChart::paperColour(white);
        print(QStringLiteral("three.pdf"));
        // The same page with that one curve not drawn; the legend and the axes stay.
        QLineSeries* curve = m_f->chart()->series(white);
        curve->setOpacity(0);
        print(QStringLiteral("without.pdf"));
        curve->setOpacity(1);

        const QImage page = raster(QStringLiteral("three.pdf")), without = raster(QStringLiteral("without.pdf"));
        QVERIFY(!page.isNull() && page.size() == without.size());
        const QRect chart = chartOnPage();
        QVERIFY(page.rect().contains(chart));
        int curvePixels = 0, gaps = 0, crossings = 0;
        for (int y = chart.top(); y <= chart.bottom(); ++y)
            for (int x = chart.left(); x <= chart.right(); ++x) {
                const QRgb p = page.pixel(x, y), q = without.pixel(x, y);
                curvePixels += p != q && near(p, paperColour);
                gaps += coloured(q) && nearWhite(p);
                crossings += coloured(q) && near(p, paperColour);
            }
        // The curve runs across the plot, most of the chart's width.
        QVERIFY2(curvePixels > chart.width() / 2, qPrintable(QString::number(curvePixels)));
        QCOMPARE(gaps, 0);
        QVERIFY2(crossings > 0, "no crossing to look at");
    }

    void screenColoursComeBackHoweverThePrintEnds()
    {
        QVERIFY(m_f->view({makeSampleSignature(0), makeSampleSignature(1), makeSampleSignature(2)}));
        m_f->wave->Bold1->trigger();
        const ExportColours screen = m_f->chart()->exportColours();
        for (int i = 0; i < SignatureChart::SeriesCount; ++i)
            QCOMPARE(screen.series[static_cast<std::size_t>(i)], SignatureChart::seriesColour(i));
        const QImage before = m_f->chart()->grab().toImage();
        auto expectScreen = [&](const char* when) {
            QVERIFY2(m_f->chart()->exportColours() == screen, when);
            QVERIFY2(m_f->chart()->lineWidth(0) == 2, when);
            QVERIFY2(m_f->chart()->grab().toImage() == before, when);
        };

        print(QStringLiteral("printed.pdf"));
        QVERIFY(QFileInfo::exists(m_f->path(QStringLiteral("printed.pdf"))));
        expectScreen("after a page was printed");

        m_printing->confirm = false;
        print(QStringLiteral("cancelled.pdf"));
        QVERIFY(!QFileInfo::exists(m_f->path(QStringLiteral("cancelled.pdf"))));
        expectScreen("after the print was cancelled");

        // The picture cannot be written: a directory has its name.
        QVERIFY(QFile::remove(m_f->path(QStringLiteral("WaveChrt.EMF"))));
        QVERIFY(QDir(m_f->path({})).mkdir(QStringLiteral("WaveChrt.EMF")));
        m_f->dialogs->expectError();
        print(QStringLiteral("failed.pdf"));
        QVERIFY(m_f->dialogs->last(ScriptedDialogs::Kind::Error));
        expectScreen("after the picture could not be written");
    }
};

QTEST_MAIN(PaperColoursTest)
#include "tst_papercolours.moc"
