// The mouse read-out of the signature chart: what it reads, where it stands,
// when it shows, and that it stays out of every file.
#include "chart/ChartCursor.h"
#include "chart/ChartCursorBox.h"
#include "chart/SignatureChart.h"

#include <QCategoryAxis>
#include <QLegend>
#include <QLineSeries>
#include <QPaintEngine>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <bit>
#include <cmath>

namespace {

// The load of series index at point k of a known record: distinct per curve
// and per point, so a reading from the wrong point or curve shows.
double knownLoad(int index, int k)
{
    return index * 100 + k * 0.1;
}

// Records paint calls instead of drawing: tells vectors from bitmaps.
class RecordingEngine : public QPaintEngine
{
public:
    RecordingEngine() : QPaintEngine(AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    Type type() const override { return User; }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override { ++bitmaps; }
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override { ++bitmaps; }
    void drawLines(const QLineF*, int count) override { lines += count; }
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawPath(const QPainterPath&) override {}
    void drawTextItem(const QPointF&, const QTextItem& item) override { texts.append(item.text()); }

    int bitmaps = 0;
    int lines = 0;
    QStringList texts;
};

class RecordingDevice : public QPaintDevice
{
public:
    explicit RecordingDevice(QSize size) : m_size(size) {}
    QPaintEngine* paintEngine() const override { return &engine; }
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
            return m_size.width();
        case PdmHeight:
            return m_size.height();
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        default:
            return QPaintDevice::metric(m);
        }
    }
    mutable RecordingEngine engine;

private:
    QSize m_size;
};

} // namespace

class ChartCursorTest : public QObject
{
    Q_OBJECT

    SignatureChart* m_chart = nullptr;
    ChartCursor* m_cursor = nullptr;

    // The curves as the display lays them out: waves on wave 1's angles, from
    // start in steps of (end - start) / 448.
    void loadKnownRecord(int waves, int start = 90, int end = 314)
    {
        m_chart->setBottomRange(start, end);
        const double step = static_cast<double>(end - start) / 448;
        for (int i = 0; i < SignatureChart::SeriesCount; ++i) {
            QList<QPointF> points;
            if (i < 4 * waves) {
                double x = start;
                for (int k = 0; k < 448; ++k, x += step)
                    points.append({x, knownLoad(i, k)});
            }
            m_chart->replacePoints(i, points);
            m_chart->setActive(i, i < 4 * waves);
        }
        QCoreApplication::processEvents(); // the layout settles the plot area
    }
    QRectF plot() const { return m_chart->chart()->plotArea(); }
    QPoint plotPoint(double fx, double fy) const
    {
        const QRectF p = plot();
        return QPointF(p.left() + fx * p.width(), p.top() + fy * p.height()).toPoint();
    }
    void move(QPoint at, Qt::MouseButtons held = Qt::NoButton)
    {
        QWidget* vp = m_chart->viewport();
        QMouseEvent e(QEvent::MouseMove, at, vp->mapToGlobal(at), Qt::NoButton, held, {});
        QApplication::sendEvent(vp, &e);
    }
    void leave()
    {
        QEvent e(QEvent::Leave);
        QApplication::sendEvent(m_chart->viewport(), &e);
    }
    // The angle the bottom axis puts under a viewport pixel column.
    double angleAt(QPoint at) const
    {
        const QCategoryAxis* axis = m_chart->bottomAxis();
        return axis->min() + (at.x() - plot().left()) / plot().width() * (axis->max() - axis->min());
    }
    QImage grabViewport() const
    {
        QCoreApplication::processEvents();
        return m_chart->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

private slots:
    void init()
    {
        m_chart = new SignatureChart;
        m_chart->resize(790, 522);
        m_chart->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_chart));
        m_cursor = m_chart->readout();
        QVERIFY(m_cursor);
    }
    void cleanup()
    {
        delete m_chart;
        m_chart = nullptr;
    }

    void valuesAreFormattedToOneDecimalInAnyLocale_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("rounded down") << 12.34 << "12.3";
        QTest::newRow("rounded up") << 12.36 << "12.4";
        QTest::newRow("whole keeps its decimal") << 90.0 << "90.0";
        QTest::newRow("negative") << -9999.0 << "-9999.0";
        QTest::newRow("tiny negative is zero") << -0.04 << "0.0";
        QTest::newRow("no grouping") << 1234567.89 << "1234567.9";
        QTest::newRow("a tie goes away from zero") << 12.25 << "12.3";
        QTest::newRow("negative zero") << -0.0 << "0.0";
        QTest::newRow("no sign on nan") << -std::nan("") << "nan";
    }

    // The reading comes from the report's formatter now; it must still show
    // the very text Qt's own 'f' conversion gave it, on any load and angle.
    void readingTextIsUnchangedFromQtsConversion()
    {
        const auto qtText = [](double value) {
            QString text = QString::number(value, 'f', 1);
            if (text == QLatin1String("-0.0"))
                text.remove(0, 1);
            return text;
        };
        QRandomGenerator rng(11);
        for (int n = 0; n < 50000; ++n) {
            const float any = std::bit_cast<float>(rng.generate());
            QCOMPARE(ChartCursor::formatValue(any), qtText(any));
            const double quarter = std::round(rng.bounded(16000.0) - 8000.0) / 4.0;
            QCOMPARE(ChartCursor::formatValue(quarter), qtText(quarter));
            const double angle = rng.bounded(720.0) - 360.0;
            QCOMPARE(ChartCursor::formatValue(angle), qtText(angle));
        }
    }
    void valuesAreFormattedToOneDecimalInAnyLocale()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // decimal comma, dot grouping
        const QString shown = ChartCursor::formatValue(value);
        QLocale::setDefault(saved);
        QCOMPARE(shown, text);
    }

    void nearestPointInEitherOrder()
    {
        const QList<QPointF> rising = {{90, 1}, {90.5, 2}, {91, 3}, {91.5, 4}};
        QCOMPARE(ChartCursor::nearestPoint(rising, 90.7), std::optional<qsizetype>(1));
        QCOMPARE(ChartCursor::nearestPoint(rising, 90.8), std::optional<qsizetype>(2));
        QCOMPARE(ChartCursor::nearestPoint(rising, -1000), std::optional<qsizetype>(0));
        QCOMPARE(ChartCursor::nearestPoint(rising, 1000), std::optional<qsizetype>(3));
        // A window recorded backwards: X falls from point to point.
        const QList<QPointF> falling = {{91.5, 4}, {91, 3}, {90.5, 2}, {90, 1}};
        QCOMPARE(ChartCursor::nearestPoint(falling, 90.7), std::optional<qsizetype>(2));
        QCOMPARE(ChartCursor::nearestPoint(falling, 91.4), std::optional<qsizetype>(0));
        // A window of no width: every point at one X, the first one stands.
        const QList<QPointF> flat = {{120, 7}, {120, 8}, {120, 9}};
        QCOMPARE(ChartCursor::nearestPoint(flat, 500), std::optional<qsizetype>(0));
        QVERIFY(!ChartCursor::nearestPoint({}, 90));
        QVERIFY(!ChartCursor::nearestPoint(rising, std::nan("")));
    }

    void aCurveReachesItsWholeWindowAndNoFurther()
    {
        // 448 points from 0 in steps of 0.5: the window 0 .. 224.
        QList<QPointF> rising;
        double x = 0;
        for (int k = 0; k < 448; ++k, x += 0.5)
            rising.append({x, 1});
        for (double inside : {0.0, 0.2, 100.0, 223.5, 223.9, 224.0})
            QVERIFY2(ChartCursor::reaches(rising, inside), qPrintable(QString::number(inside)));
        for (double outside : {-0.1, 224.1, 300.0, -1e9})
            QVERIFY2(!ChartCursor::reaches(rising, outside), qPrintable(QString::number(outside)));

        // Recorded backwards: 314 down to 90.
        QList<QPointF> falling;
        x = 314;
        for (int k = 0; k < 448; ++k, x -= 0.5)
            falling.append({x, 1});
        QVERIFY(ChartCursor::reaches(falling, 90) && ChartCursor::reaches(falling, 314));
        QVERIFY(!ChartCursor::reaches(falling, 89.9) && !ChartCursor::reaches(falling, 314.1));

        // No width: only its own angle, across the axis drawn around it.
        const QList<QPointF> flat(448, QPointF(120, 7));
        QVERIFY(ChartCursor::reaches(flat, 120) && ChartCursor::reaches(flat, 120 + 1e-10));
        QVERIFY(!ChartCursor::reaches(flat, 120.001) && !ChartCursor::reaches(flat, 119.999));

        QVERIFY(!ChartCursor::reaches({}, 0));
        QVERIFY(!ChartCursor::reaches(rising, std::nan("")));
    }

    void readsOnlyTheCurvesWhoseWindowHoldsTheAngle()
    {
        // Wave 1 at 90 .. 314, wave 2 at 0 .. 224, as the display lays them out.
        m_chart->setBottomRange(0, 314);
        const int windows[2][2] = {{90, 314}, {0, 224}};
        for (int i = 0; i < 8; ++i) {
            const int start = windows[i / 4][0];
            QList<QPointF> points;
            double x = start;
            for (int k = 0; k < 448; ++k, x += 0.5)
                points.append({x, knownLoad(i, k)});
            m_chart->replacePoints(i, points);
            m_chart->setActive(i, true);
        }
        QCoreApplication::processEvents();
        auto indices = [](const CursorReading& r) {
            QList<int> out;
            for (const CursorReading::Row& row : r.rows)
                out << row.index;
            return out;
        };
        QCOMPARE(indices(ChartCursor::readingAt(*m_chart, 40)), QList<int>({4, 5, 6, 7}));
        QCOMPARE(indices(ChartCursor::readingAt(*m_chart, 300)), QList<int>({0, 1, 2, 3}));
        const CursorReading both = ChartCursor::readingAt(*m_chart, 150);
        QCOMPARE(indices(both), QList<int>({0, 1, 2, 3, 4, 5, 6, 7}));
        QCOMPARE(both.rows[0].load, knownLoad(0, 120)); // 150 degrees is point 120 of wave 1 ...
        QCOMPARE(both.rows[4].load, knownLoad(4, 300)); // ... and point 300 of wave 2

        // Under the mouse, the box lists the angle and only the curves that reach it.
        const QPoint at = plotPoint(40.0 / 314, 0.5);
        move(at);
        QVERIFY(m_cursor->isShown());
        QCOMPARE(indices(m_cursor->reading()), QList<int>({4, 5, 6, 7}));
        QCOMPARE(m_cursor->box()->rows().size(), 5);
    }

    void readsTheKnownRecordUnderTheMouse()
    {
        loadKnownRecord(2);
        const QPoint at = plotPoint(0.25, 0.5);
        move(at);
        QVERIFY(m_cursor->isShown());

        const CursorReading& r = m_cursor->reading();
        const double angle = angleAt(at);
        QVERIFY(std::abs(angle - (90 + 0.25 * 224)) < 1.0); // about a quarter into the window
        QVERIFY(std::abs(r.angle - angle) < 1e-9);
        const int k = static_cast<int>(std::lround((angle - 90) / 0.5));
        QCOMPARE(r.rows.size(), 8);
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(r.rows[i].index, i);
            QCOMPARE(r.rows[i].title, QStringLiteral("Wave %1 : Ch%2").arg(i / 4 + 1).arg(i % 4 + 1));
            QCOMPARE(r.rows[i].colour, SignatureChart::seriesColour(i));
            QVERIFY2(std::abs(r.rows[i].load - knownLoad(i, k)) < 1e-9, qPrintable(QString::number(r.rows[i].load)));
        }

        // The box shows the angle first, then each curve in its colour.
        const QList<ChartCursorBox::Row>& rows = m_cursor->box()->rows();
        QCOMPARE(rows.size(), 9);
        QCOMPARE(rows[0].label, QStringLiteral("Angle (deg)"));
        QCOMPARE(rows[0].value, ChartCursor::formatValue(angle));
        QCOMPARE(rows[1].label, QStringLiteral("Wave 1 : Ch1"));
        QCOMPARE(rows[1].colour, QColor(255, 255, 0));
        QCOMPARE(rows[6].label, QStringLiteral("Wave 2 : Ch2"));
        QCOMPARE(rows[6].colour, QColor(83, 119, 172));

        // A point of the record read by hand: point 200 lies at 190 degrees.
        const double x200 = 90 + 200 * 0.5;
        const QPoint over200(static_cast<int>(std::lround(plot().left() + (x200 - 90) / 224 * plot().width())),
                             plotPoint(0, 0.5).y());
        move(over200);
        QCOMPARE(m_cursor->box()->rows()[1].value, QStringLiteral("20.0"));  // wave 1, channel 1
        QCOMPARE(m_cursor->box()->rows()[8].value, QStringLiteral("720.0")); // wave 2, channel 4
    }

    void hiddenAndEmptyCurvesAreLeftOut()
    {
        loadKnownRecord(2);
        m_chart->setActive(1, false);  // a channel toggled off
        m_chart->replacePoints(6, {}); // an empty curve, though active
        move(plotPoint(0.5, 0.5));
        QList<int> shown;
        for (const CursorReading::Row& row : m_cursor->reading().rows)
            shown.append(row.index);
        QCOMPARE(shown, QList<int>({0, 2, 3, 4, 5, 7}));
        QCOMPARE(m_cursor->box()->rows().size(), 7);

        // Toggled back on under a mouse that did not move: the row returns.
        m_chart->setActive(1, true);
        QCOMPARE(m_cursor->reading().rows.size(), 7);
        QCOMPARE(m_cursor->reading().rows[1].index, 1);
    }

    void readsFallingAnglesToo()
    {
        // End before start: the axis runs from 90 to 314, the points from 314 down.
        loadKnownRecord(1, 314, 90);
        QCOMPARE(m_chart->bottomAxis()->min(), 90.0);
        const QPoint at = plotPoint(0.75, 0.5);
        move(at);
        const double angle = angleAt(at);
        const int k = static_cast<int>(std::lround((314 - angle) / 0.5));
        QCOMPARE(m_cursor->reading().rows.size(), 4);
        QVERIFY(std::abs(m_cursor->reading().rows[2].load - knownLoad(2, k)) < 1e-9);
    }

    void showsOnlyOverThePlotAndWithoutButtons()
    {
        loadKnownRecord(1);
        move(plotPoint(0.5, 0.5));
        QVERIFY(m_cursor->isShown());
        // Over the axes, the title or the legend: gone.
        move(QPoint(static_cast<int>(plot().left()) - 10, plotPoint(0, 0.5).y()));
        QVERIFY(!m_cursor->isShown());
        move(QPoint(plotPoint(0.5, 0).x(), static_cast<int>(plot().top()) - 5));
        QVERIFY(!m_cursor->isShown());
        const QRectF legend = m_chart->chart()->legend()->sceneBoundingRect();
        move(legend.center().toPoint());
        QVERIFY(!m_cursor->isShown());
        move(plotPoint(0.5, 0.5));
        QVERIFY(m_cursor->isShown());
        // Out of the window.
        leave();
        QVERIFY(!m_cursor->isShown());
        // A button held: the zoom rectangle is drawn, not the read-out.
        move(plotPoint(0.4, 0.4));
        QVERIFY(m_cursor->isShown());
        QTest::mousePress(m_chart->viewport(), Qt::LeftButton, {}, plotPoint(0.4, 0.4));
        QVERIFY(!m_cursor->isShown());
        move(plotPoint(0.45, 0.45), Qt::LeftButton);
        QVERIFY(!m_cursor->isShown());
        QTest::mouseRelease(m_chart->viewport(), Qt::LeftButton, {}, plotPoint(0.45, 0.45));
        QVERIFY(m_cursor->isShown());
        // The chart's hint would cover the box: held back while the box shows,
        // given where it shows none. A tip left over from before must be gone first.
        QToolTip::hideText();
        QTRY_VERIFY(!QToolTip::isVisible());
        QHelpEvent overPlot(QEvent::ToolTip, plotPoint(0.45, 0.45),
                            m_chart->viewport()->mapToGlobal(plotPoint(0.45, 0.45)));
        QVERIFY(QApplication::sendEvent(m_chart->viewport(), &overPlot));
        QVERIFY(!QToolTip::isVisible());
        const QPoint overAxis(static_cast<int>(plot().left()) - 10, plotPoint(0, 0.5).y());
        move(overAxis);
        QHelpEvent offPlot(QEvent::ToolTip, overAxis, m_chart->viewport()->mapToGlobal(overAxis));
        QApplication::sendEvent(m_chart->viewport(), &offPlot);
        QTRY_VERIFY(QToolTip::isVisible());
        QToolTip::hideText();
        move(plotPoint(0.45, 0.45));
        // Hidden with the window, and not back before the mouse moves again.
        m_chart->hide();
        QVERIFY(!m_cursor->isShown());
        m_chart->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_chart));
        QVERIFY(!m_cursor->isShown());
    }

    void staysInsideThePlotAndOffTheLegend()
    {
        loadKnownRecord(5);
        const QRectF legend = m_chart->chart()->legend()->sceneBoundingRect();
        QVERIFY(!legend.isEmpty());
        const QImage bare = grabViewport();
        const QList<QPointF> spots = {{0.01, 0.01}, {0.5, 0.5},   {0.99, 0.02},
                                      {0.99, 0.99}, {0.02, 0.98}, {0.999, 0.999}};
        for (const QPointF& f : spots) {
            const QPoint at = plotPoint(f.x(), f.y());
            move(at);
            QVERIFY(m_cursor->isShown());
            const QRectF box = m_cursor->boxInScene();
            const QString where = QStringLiteral("at %1,%2").arg(f.x()).arg(f.y());
            QVERIFY2(plot().contains(box), qPrintable(where));
            QVERIFY2(!box.intersects(legend), qPrintable(where));
            QCOMPARE(m_cursor->box()->rows().size(), 21);
            // Beside the line, on its right unless that would cross the plot's edge.
            const double lineX = m_cursor->lineInScene().x1();
            QVERIFY2(box.left() > lineX || box.right() < lineX, qPrintable(where));
            if (f.x() > 0.9)
                QVERIFY2(box.right() < lineX, qPrintable(where));
            else
                QVERIFY2(box.left() > lineX, qPrintable(where));
            QVERIFY(m_cursor->lineInScene().y1() >= plot().top() && m_cursor->lineInScene().y2() <= plot().bottom());

            // Pixels: everything the read-out changed lies inside the plot.
            const QImage shown = grabViewport();
            QCOMPARE(shown.size(), bare.size());
            int changed = 0;
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x)
                    if (shown.pixel(x, y) != bare.pixel(x, y)) {
                        ++changed;
                        QVERIFY2(plot().contains(QPointF(x + 0.5, y + 0.5)),
                                 qPrintable(where + QStringLiteral(": pixel %1,%2").arg(x).arg(y)));
                    }
            QVERIFY2(changed > 1000, qPrintable(where)); // a box of 21 rows was drawn
        }

        // A plot too low for 21 rows: smaller type, and still inside.
        m_chart->resize(500, 260);
        QCoreApplication::processEvents();
        move(plotPoint(0.3, 0.5));
        QVERIFY(m_cursor->isShown());
        QVERIFY(plot().contains(m_cursor->boxInScene()));
        QVERIFY(m_cursor->box()->shownFont().pixelSize() < m_chart->chart()->legend()->font().pixelSize());
    }

    void aMoveRepaintsOnlyAroundTheReadout()
    {
        loadKnownRecord(5);
        move(plotPoint(0.3, 0.5));
        QCoreApplication::processEvents();
        struct PaintWatch : QObject
        {
            QRegion painted;
            bool eventFilter(QObject*, QEvent* e) override
            {
                if (e->type() == QEvent::Paint)
                    painted += static_cast<QPaintEvent*>(e)->region();
                return false;
            }
        } watch;
        m_chart->viewport()->installEventFilter(&watch);
        const QRectF before = m_cursor->boxInScene();
        move(plotPoint(0.32, 0.52));
        const QRectF after = m_cursor->boxInScene();
        QTRY_VERIFY(!watch.painted.isEmpty());
        // What was repainted is where the line and the box were and are, not the chart.
        const QRect around = (before | after).toAlignedRect().adjusted(-12, -3, 3, 3);
        const QRect painted = watch.painted.boundingRect();
        QVERIFY2(plot().adjusted(-3, -3, 3, 3).contains(painted), qPrintable(QDebug::toString(painted)));
        QVERIFY2(painted.width() <= around.width() + 12, qPrintable(QDebug::toString(painted)));
        QVERIFY(painted.width() * painted.height() < m_chart->viewport()->width() * m_chart->viewport()->height() / 2);
    }

    void followsTheZoomUnderAStillMouse()
    {
        loadKnownRecord(1);
        const QPoint at = plotPoint(0.5, 0.5);
        move(at);
        const double full = m_cursor->reading().angle;
        QVERIFY(std::abs(full - 202) < 1.0);
        QSignalSpy settled(m_chart, &SignatureChart::zoomSettled);
        m_chart->zoomTo(150, 170, 0, 100);
        QTRY_COMPARE(settled.count(), 1);
        QCoreApplication::processEvents();
        QVERIFY(m_cursor->isShown());
        QVERIFY(std::abs(m_cursor->reading().angle - angleAt(at)) < 1e-9);
        QVERIFY(std::abs(m_cursor->reading().angle - 160) < 0.5);
        const int k = static_cast<int>(std::lround((m_cursor->reading().angle - 90) / 0.5));
        QVERIFY(std::abs(m_cursor->reading().rows[0].load - knownLoad(0, k)) < 1e-9);
        // A new load under the still mouse reads the new curves.
        loadKnownRecord(2);
        QCOMPARE(m_cursor->reading().rows.size(), 8);
    }

    void neverPartOfAFile()
    {
        loadKnownRecord(5);
        const QImage without = m_chart->renderImage();
        move(plotPoint(0.4, 0.4));
        QVERIFY(m_cursor->isShown());
        const QImage with = m_chart->renderImage();
        QCOMPARE(with, without);
        QVERIFY(m_cursor->isShown()); // back on screen after the file
        {
            ExportColoursGuard guard(m_chart);
            QVERIFY(m_chart->renderImage() != without); // the check can tell two pictures apart
        }

        // A metafile or a page gets the chart as vectors and text, never the
        // screen's pixmap, and without the read-out's numbers; even right
        // after the screen was painted from its cache.
        m_chart->viewport()->repaint();
        move(plotPoint(0.3, 0.4));
        QCoreApplication::processEvents();
        move(plotPoint(0.4, 0.4));
        QCoreApplication::processEvents();
        RecordingDevice device(m_chart->size());
        {
            QPainter painter(&device);
            m_chart->renderChart(&painter, QRectF(QPointF(0, 0), QSizeF(m_chart->size())));
        }
        QCOMPARE(device.engine.bitmaps, 0);
        QVERIFY2(device.engine.lines > 20 * 400, qPrintable(QString::number(device.engine.lines)));
        QVERIFY(device.engine.texts.contains(QStringLiteral("Load Signature")));
        const QList<ChartCursorBox::Row>& rows = m_cursor->box()->rows();
        for (const ChartCursorBox::Row& row : rows)
            QVERIFY2(!device.engine.texts.contains(row.value), qPrintable(row.value));
        QVERIFY(m_cursor->isShown());
    }
};

QTEST_MAIN(ChartCursorTest)
#include "tst_chartcursor.moc"
