// The chart wrapper of the signature display: numbers on its axes, its series,
// the axis ranges, zooming with the mouse and the colours of an export.
#include "chart/AxisLabels.h"
#include "chart/ExportColours.h"
#include "chart/SignatureChart.h"

#include <QCategoryAxis>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <stdexcept>

namespace {

QList<QPointF> line(double x0, double x1, double y0, double y1, int n = 100)
{
    QList<QPointF> points;
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / (n - 1);
        points.append({x0 + (x1 - x0) * t, y0 + (y1 - y0) * t});
    }
    return points;
}

// Labels must each stand on a value inside the axis' range, in order, and be unique.
void checkLabelsOnRange(QCategoryAxis* axis)
{
    const QStringList labels = axis->categoriesLabels();
    QVERIFY(!labels.isEmpty());
    QCOMPARE(QSet<QString>(labels.begin(), labels.end()).size(), labels.size());
    for (const QString& l : labels) {
        const double v = axis->endValue(l);
        QVERIFY2(v >= axis->min() - 1e-9 && v <= axis->max() + 1e-9, qPrintable(l));
    }
}

} // namespace

class SignatureChartTest : public QObject
{
    Q_OBJECT

    SignatureChart* m_chart = nullptr;

    // A press inside the plot, a move with the button held, a release.
    void drag(QPoint from, QPoint to)
    {
        QWidget* vp = m_chart->viewport();
        QTest::mousePress(vp, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, to, vp->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(vp, &move);
        QTest::mouseRelease(vp, Qt::LeftButton, {}, to);
    }
    QPoint plotPoint(double fx, double fy) const
    {
        const QRectF p = m_chart->chart()->plotArea();
        return QPointF(p.left() + fx * p.width(), p.top() + fy * p.height()).toPoint();
    }

private slots:
    void init()
    {
        m_chart = new SignatureChart;
        m_chart->resize(790, 522);
        m_chart->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_chart));
    }
    void cleanup()
    {
        delete m_chart;
        m_chart = nullptr;
    }

    void numbersAreFormatted_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<bool>("leadingZero");
        QTest::addColumn<QString>("text");
        // "#,##0.#"
        QTest::newRow("grouped, rounded") << 1234.56 << 1 << true << "1,234.6";
        QTest::newRow("whole, no point") << 90.0 << 1 << true << "90";
        QTest::newRow("decimal .0 dropped") << 179.96 << 1 << true << "180";
        QTest::newRow("zero") << 0.0 << 1 << true << "0";
        QTest::newRow("minus zero") << -0.04 << 1 << true << "0";
        QTest::newRow("negative grouped") << -12345.26 << 1 << true << "-12,345.3";
        QTest::newRow("millions") << 1234567.0 << 1 << true << "1,234,567";
        QTest::newRow("below one") << 0.5 << 1 << true << "0.5";
        // "#,##0.###"
        QTest::newRow("three decimals") << 0.001 << 3 << true << "0.001";
        QTest::newRow("trailing zeros dropped") << 2.5 << 3 << true << "2.5";
        // "#,###.###"
        QTest::newRow("sparse zero is empty") << 0.0 << 3 << false << "";
        QTest::newRow("sparse fraction") << 0.25 << 3 << false << ".25";
        QTest::newRow("sparse negative fraction") << -0.125 << 3 << false << "-.125";
        QTest::newRow("sparse grouped") << 1234.5 << 3 << false << "1,234.5";
        QTest::newRow("not a number") << std::nan("") << 1 << true << "";
    }
    void numbersAreFormatted()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(bool, leadingZero);
        QFETCH(QString, text);
        QCOMPARE(formatAxisNumber(value, {decimals, leadingZero}), text);
    }

    void stepsAndScales()
    {
        QCOMPARE(niceStep(224, 12, 0.1), 20.0);
        QCOMPARE(niceStep(100, 10, 0.001), 10.0);
        QCOMPARE(niceStep(0.3, 3, 0.001), 0.1);
        QCOMPARE(niceStep(0.0001, 10, 0.001), 0.001); // never below the smallest step
        QCOMPARE(niceStep(0, 10, 0.1), 0.1);
        QCOMPARE(niceStep(1e-10, 12, 0.1), 0.1);

        AxisScale s = outwardScale(-0.15, 62.3, 10, 0.001);
        QCOMPARE(s.step, 10.0);
        QCOMPARE(s.lo, -10.0);
        QCOMPARE(s.hi, 70.0);
        s = outwardScale(0.0012, 0.0035, 10, 0.001);
        QCOMPARE(s.step, 0.001);
        QVERIFY(std::abs(s.lo - 0.001) < 1e-12 && std::abs(s.hi - 0.004) < 1e-12);
        // A flat curve gets room on both sides instead of an empty range.
        s = outwardScale(5, 5, 10, 0.001);
        QVERIFY(s.lo < 5 && s.hi > 5);
        QVERIFY(std::abs(s.hi - s.lo - 0.002) < 1e-12);
        s = outwardScale(-9999, 120, 10, 0.001);
        QCOMPARE(s.step, 2000.0);
        QCOMPARE(s.lo, -10000.0);
        QCOMPARE(s.hi, 2000.0);

        QCOMPARE(ticksWithin(90, 314, 20), QList<double>({100, 120, 140, 160, 180, 200, 220, 240, 260, 280, 300}));
        QCOMPARE(ticksWithin(0, 1, 0.25).size(), 5);
        QVERIFY(ticksWithin(0, 1e12, 1e-3).isEmpty()); // no endless label run
        QCOMPARE(decimalsFor(20, 3), 0);
        QCOMPARE(decimalsFor(0.25, 3), 2);
        QCOMPARE(decimalsFor(0.001, 1), 1);
    }

    void twentySeriesWithTheirTitlesAndColours()
    {
        QCOMPARE(m_chart->chart()->series().size(), 20);
        const QList<QRgb> colours = {qRgb(255, 255, 0),   qRgb(0, 255, 0),     qRgb(255, 128, 0), qRgb(0, 128, 255),
                                     qRgb(255, 0, 0),     qRgb(83, 119, 172),  qRgb(0, 128, 0),   qRgb(0, 0, 255),
                                     qRgb(255, 255, 255), qRgb(128, 128, 128), qRgb(255, 0, 255), qRgb(0, 128, 128),
                                     qRgb(0, 0, 128),     qRgb(128, 0, 0),     qRgb(128, 128, 0), qRgb(128, 0, 128),
                                     qRgb(192, 192, 192), qRgb(0, 255, 255),   qRgb(255, 0, 128), qRgb(255, 128, 128)};
        for (int i = 0; i < 20; ++i) {
            QLineSeries* s = m_chart->series(i);
            QCOMPARE(m_chart->chart()->series().at(i), s); // the chart's own order is the index
            QCOMPARE(s->objectName(), QStringLiteral("Series%1").arg(i + 1));
            QCOMPARE(s->name(), QStringLiteral("Wave %1 : Ch%2").arg(i / 4 + 1).arg(i % 4 + 1));
            QCOMPARE(s->pen().color().rgb(), colours[i]);
            QCOMPARE(m_chart->lineWidth(i), 1.0);
            QVERIFY(!s->pointsVisible());
        }
        QCOMPARE(SignatureChart::seriesIndex(2, 3), 6);
        QCOMPARE(SignatureChart::seriesIndex(5, 4), 19);

        // A wider line keeps its colour; the legend lists active series only.
        m_chart->setLineWidth(5, 2);
        QCOMPARE(m_chart->lineWidth(5), 2.0);
        QCOMPARE(m_chart->series(5)->pen().color().rgb(), colours[5]);
        m_chart->setActive(5, true);
        QVERIFY(m_chart->isActive(5));
        QLegend* legend = m_chart->chart()->legend();
        QVERIFY(legend->markers(m_chart->series(5)).first()->isVisible());
        QVERIFY(!legend->markers(m_chart->series(6)).first()->isVisible());
        m_chart->setActive(5, false);
        QVERIFY(!legend->markers(m_chart->series(5)).first()->isVisible());

        m_chart->replacePoints(3, line(0, 1, 0, 1, 448));
        QCOMPARE(m_chart->series(3)->count(), 448);
        m_chart->replacePoints(3, {});
        QCOMPARE(m_chart->series(3)->count(), 0);

        QVERIFY(m_chart->isLegendVisible());
        m_chart->setLegendVisible(false);
        QVERIFY(!m_chart->isLegendVisible());
    }

    void axesAsTheDisplayNeedsThem()
    {
        QCOMPARE(m_chart->chart()->title(), QStringLiteral("Load Signature"));
        QCOMPARE(m_chart->bottomAxis()->titleText(), QStringLiteral("Angle (deg)"));
        QCOMPARE(m_chart->leftAxis()->titleText(), QStringLiteral("Ton"));
        QCOMPARE(m_chart->rightAxis()->titleText(), QStringLiteral("Distance"));
        QVERIFY(m_chart->bottomAxis()->alignment() == Qt::AlignBottom);
        QVERIFY(m_chart->rightAxis()->alignment() == Qt::AlignRight);
        QVERIFY(!m_chart->rightAxis()->isGridLineVisible()); // no curve, so no grid of its own
        QCOMPARE(m_chart->series(0)->attachedAxes().size(), 2);
        QVERIFY(!m_chart->series(0)->attachedAxes().contains(m_chart->rightAxis()));
        QCOMPARE(m_chart->rightAxis()->categoriesLabels(),
                 QStringList({QStringLiteral(""), QStringLiteral(".2"), QStringLiteral(".4"), QStringLiteral(".6"),
                              QStringLiteral(".8"), QStringLiteral("1")}));
        QCOMPARE(m_chart->chart()->backgroundBrush().color(), QColor(Qt::black));
        QCOMPARE(m_chart->chart()->legend()->brush().color(), QColor(0, 64, 64));
        QCOMPARE(m_chart->bottomAxis()->linePenColor(), QColor(192, 192, 192));
    }

    void bottomRangeIsFixedSwappedAndWidened()
    {
        m_chart->replacePoints(0, line(0, 1000, 0, 10));
        m_chart->setActive(0, true);
        m_chart->setBottomRange(2000.5, 90);
        QCOMPARE(m_chart->bottomAxis()->min(), 90.0);
        QCOMPARE(m_chart->bottomAxis()->max(), 2000.5);
        QCOMPARE(m_chart->bottomAxis()->categoriesLabels().first(), QStringLiteral("200"));
        QCOMPARE(m_chart->bottomAxis()->categoriesLabels().last(), QStringLiteral("2,000"));
        checkLabelsOnRange(m_chart->bottomAxis());
        // New points do not move it.
        m_chart->replacePoints(0, line(-5000, 5000, 0, 10));
        QCOMPARE(m_chart->bottomAxis()->max(), 2000.5);

        m_chart->setBottomRange(120, 120);
        QCOMPARE(m_chart->bottomAxis()->min(), 120.0);
        QCOMPARE(m_chart->bottomAxis()->max(), 120.0 + 1e-10);
        QCOMPARE(m_chart->bottomMax(), 120.0 + 1e-10);
        m_chart->setBottomRange(-3, -3 + 5e-11);
        QCOMPARE(m_chart->bottomAxis()->max(), -3 + 1e-10);
    }

    void leftAxisFollowsTheShownCurvesInsideTheBottomRange()
    {
        m_chart->setBottomRange(0, 100);
        m_chart->replacePoints(0, line(0, 100, 0, 62.3));
        m_chart->replacePoints(1, line(0, 100, 0, 500));      // inactive: does not count
        m_chart->replacePoints(2, line(150, 200, -900, 900)); // outside the bottom range
        for (int i = 0; i < 3; ++i)
            m_chart->setActive(i, i != 1);
        QCOMPARE(m_chart->leftAxis()->min(), 0.0);
        QCOMPARE(m_chart->leftAxis()->max(), 70.0);
        QCOMPARE(m_chart->leftAxis()->categoriesLabels().first(), QStringLiteral("0"));
        QCOMPARE(m_chart->leftAxis()->categoriesLabels().last(), QStringLiteral("70"));
        checkLabelsOnRange(m_chart->leftAxis());

        m_chart->setActive(1, true);
        QCOMPARE(m_chart->leftAxis()->max(), 500.0);
        m_chart->setActive(1, false);

        // Tiny loads: labels no closer than 0.001 apart.
        m_chart->replacePoints(0, line(0, 100, 0.0012, 0.0035));
        QVERIFY(std::abs(m_chart->leftAxis()->min() - 0.001) < 1e-12);
        QVERIFY(std::abs(m_chart->leftAxis()->max() - 0.004) < 1e-12);
        QCOMPARE(m_chart->leftAxis()->categoriesLabels(),
                 QStringList({QStringLiteral("0.001"), QStringLiteral("0.002"), QStringLiteral("0.003"),
                              QStringLiteral("0.004")}));
    }

    void dragZoomsInStepsAndRightClickGoesBack()
    {
        m_chart->setBottomRange(90, 314);
        m_chart->replacePoints(0, line(90, 314, 0, 80, 448));
        m_chart->setActive(0, true);
        QSignalSpy steps(m_chart->bottomAxis(), &QValueAxis::rangeChanged);
        QSignalSpy settled(m_chart, &SignatureChart::zoomSettled);

        drag(plotPoint(0.25, 0.25), plotPoint(0.5, 0.75));
        QVERIFY(m_chart->isZoomed());
        QTRY_COMPARE(settled.count(), 1);
        QCOMPARE(steps.count(), SignatureChart::ZoomSteps);
        QVERIFY(std::abs(m_chart->bottomAxis()->min() - (90 + 0.25 * 224)) < 1.0);
        QVERIFY(std::abs(m_chart->bottomAxis()->max() - (90 + 0.5 * 224)) < 1.0);
        QVERIFY(std::abs(m_chart->leftAxis()->max() - 60) < 1.0);
        QVERIFY(std::abs(m_chart->leftAxis()->min() - 20) < 1.0);
        checkLabelsOnRange(m_chart->bottomAxis());
        checkLabelsOnRange(m_chart->leftAxis());
        // The fixed range stays what the load set.
        QCOMPARE(m_chart->bottomMin(), 90.0);

        // While zoomed, a curve shown or hidden leaves the view alone.
        m_chart->replacePoints(1, line(90, 314, 0, 900, 448));
        m_chart->setActive(1, true);
        QVERIFY(m_chart->leftAxis()->max() < 100);

        QTest::mouseClick(m_chart->viewport(), Qt::RightButton, {}, plotPoint(0.5, 0.5));
        QTRY_COMPARE(settled.count(), 2);
        QVERIFY(!m_chart->isZoomed());
        QCOMPARE(m_chart->bottomAxis()->min(), 90.0);
        QCOMPARE(m_chart->bottomAxis()->max(), 314.0);
        QCOMPARE(m_chart->leftAxis()->max(), 900.0); // following the curves again
        QCOMPARE(m_chart->bottomAxis()->categoriesLabels().first(), QStringLiteral("100"));
    }

    void dragTowardTopLeftAlsoGoesBackAndClicksDoNothing()
    {
        m_chart->setBottomRange(0, 100);
        m_chart->replacePoints(0, line(0, 100, 0, 10));
        m_chart->setActive(0, true);
        QSignalSpy settled(m_chart, &SignatureChart::zoomSettled);
        drag(plotPoint(0.6, 0.6), plotPoint(0.6, 0.6) + QPoint(2, 2)); // a click, not a rectangle
        QVERIFY(!m_chart->isZoomed());
        drag(plotPoint(0.1, 0.1), plotPoint(0.4, 0.4));
        QTRY_COMPARE(settled.count(), 1);
        drag(plotPoint(0.8, 0.8), plotPoint(0.2, 0.2));
        QTRY_COMPARE(settled.count(), 2);
        QVERIFY(!m_chart->isZoomed());
        QCOMPARE(m_chart->bottomAxis()->max(), 100.0);
        // A press outside the plot starts no rectangle.
        drag(QPoint(2, 2), plotPoint(0.5, 0.5));
        QVERIFY(!m_chart->isZoomed());
        // A new load ends a zoom at once.
        drag(plotPoint(0.1, 0.1), plotPoint(0.4, 0.4));
        m_chart->setBottomRange(0, 50);
        QVERIFY(!m_chart->isZoomed() && !m_chart->isZoomAnimating());
        QCOMPARE(m_chart->bottomAxis()->max(), 50.0);
    }

    void exportColoursAreSwitchedAndRestoredExactly()
    {
        const ExportColours screen = m_chart->exportColours();
        QCOMPARE(screen.background, QColor(Qt::black));
        QCOMPARE(screen.legendBackground, QColor(0, 64, 64));
        QCOMPARE(screen.leftLabels, QColor(Qt::white));
        QCOMPARE(screen.rightLine, QColor(192, 192, 192));
        for (int i = 0; i < SignatureChart::SeriesCount; ++i)
            QCOMPARE(screen.series[static_cast<std::size_t>(i)], SignatureChart::seriesColour(i));
        {
            ExportColoursGuard guard(m_chart);
            QCOMPARE(m_chart->exportColours(), ExportColours::paper());
            QCOMPARE(m_chart->chart()->backgroundBrush().color(), QColor(Qt::white));
            QCOMPARE(m_chart->bottomAxis()->titleBrush().color(), QColor(Qt::black));
            QCOMPARE(m_chart->chart()->legend()->labelColor(), QColor(Qt::black));
            QCOMPARE(m_chart->series(8)->pen().color(), SignatureChart::paperColour(8));
        }
        QCOMPARE(m_chart->exportColours(), screen);

        // Whatever the chart shows is what comes back, not the first colours,
        // also when the export ends in an error.
        ExportColours odd = screen;
        int k = 0;
        for (QColor* c : {&odd.background, &odd.leftLabels, &odd.leftLine, &odd.bottomLabels, &odd.bottomLine,
                          &odd.title, &odd.legendBackground, &odd.legendText, &odd.leftTitle, &odd.bottomTitle,
                          &odd.rightTitle, &odd.rightLabels, &odd.rightLine, &odd.series[0], &odd.series[19]})
            *c = QColor(10 + k, 20 + 2 * k, 30 + 3 * k), ++k;
        m_chart->setExportColours(odd);
        QCOMPARE(m_chart->exportColours(), odd);
        try {
            ExportColoursGuard guard(*m_chart);
            QCOMPARE(m_chart->exportColours(), ExportColours::paper());
            throw std::runtime_error("disk full");
        } catch (const std::runtime_error&) {
        }
        QCOMPARE(m_chart->exportColours(), odd);
    }

    // After an export the screen must look exactly as before, down to the
    // legend's colour boxes.
    void screenLooksTheSameAfterAnExport()
    {
        m_chart->setBottomRange(0, 100);
        for (int i = 0; i < 8; ++i) {
            m_chart->replacePoints(i, line(0, 100, i, 10 + i));
            m_chart->setActive(i, true);
        }
        const QImage before = m_chart->renderImage();
        {
            ExportColoursGuard guard(m_chart);
            (void)m_chart->renderImage();
        }
        const QImage after = m_chart->renderImage();
        int differing = 0;
        for (int y = 0; y < before.height(); ++y)
            for (int x = 0; x < before.width(); ++x)
                differing += before.pixel(x, y) != after.pixel(x, y);
        QCOMPARE(differing, 0);
    }

    void rendersAtItsOnScreenSizeInEitherColours()
    {
        m_chart->setBottomRange(0, 100);
        m_chart->replacePoints(0, line(0, 100, 0, 10));
        m_chart->setActive(0, true);
        QImage screen = m_chart->renderImage();
        QCOMPARE(screen.size(), QSize(790, 522));
        QCOMPARE(screen.pixelColor(1, screen.height() - 2), QColor(Qt::black));
        QImage file;
        {
            ExportColoursGuard guard(m_chart);
            file = m_chart->renderImage();
        }
        QCOMPARE(file.pixelColor(1, file.height() - 2), QColor(Qt::white));
        // The curve wears its paper colour, a dark gold; the screen's yellow
        // would hardly show on white.
        const QColor gold = SignatureChart::paperColour(0);
        auto near = [](const QColor& a, const QColor& b) {
            return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) < 60;
        };
        int onPaper = 0, yellow = 0;
        for (int y = 0; y < file.height(); ++y)
            for (int x = 0; x < file.width(); ++x) {
                onPaper += near(file.pixelColor(x, y), gold);
                yellow += near(file.pixelColor(x, y), Qt::yellow);
            }
        QVERIFY2(onPaper > 100, qPrintable(QString::number(onPaper)));
        QCOMPARE(yellow, 0);

        // A chart never shown renders at the size it was given, laid out as
        // the one on screen.
        SignatureChart hidden;
        hidden.resize(790, 522);
        hidden.setBottomRange(0, 100);
        hidden.replacePoints(0, line(0, 100, 0, 10));
        hidden.setActive(0, true);
        const QImage off = hidden.renderImage();
        QCOMPARE(off.size(), QSize(790, 522));
        QCOMPARE(hidden.chart()->plotArea(), m_chart->chart()->plotArea());
    }
};

QTEST_MAIN(SignatureChartTest)
#include "tst_signaturechart.moc"
