// The trend chart as the trend window uses it: strokes in, points picked and
// zoomed with the mouse, markers drawn, and the chart saved as a file.
#include "trendchart/TrendChart.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QXmlStreamReader>

#include <cmath>
#include <limits>
#include <unistd.h>

namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

TrendStroke stroke(double x, float a, float b = NaN, float c = NaN, float d = NaN)
{
    TrendStroke s;
    s.x = x;
    s.peak = {a, b, c, d};
    return s;
}

// Twenty strokes listed out of x order: id i sits at x = (7 * i) % 20, so the
// id of a point is not its position from the left.
std::vector<TrendStroke> shuffledStrokes()
{
    std::vector<TrendStroke> v;
    for (int i = 0; i < 20; ++i) {
        const double x = (7 * i) % 20;
        v.push_back(stroke(x, float(100 + 10 * std::sin(x)), float(50 + x), NaN, float(200 - x)));
    }
    return v;
}

// Where the chart promises to draw (x, y): the plot area spans the visible range.
QPointF pixelOf(const TrendChart& chart, double x, double y)
{
    const QRect p = chart.plotArea();
    const TrendRange r = chart.visibleRange();
    return {p.left() + (x - r.x0) / (r.x1 - r.x0) * p.width(),
            p.top() + p.height() - (y - r.y0) / (r.y1 - r.y0) * p.height()};
}

QImage rendered(const TrendChart& chart)
{
    QImage image(chart.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    chart.renderChart(painter, image.rect());
    return image;
}

// Pixels of a square around at that differ between the two pictures.
int changedAround(const QImage& a, const QImage& b, QPointF at, int half)
{
    int changed = 0;
    for (int y = int(at.y()) - half; y <= int(at.y()) + half; ++y) {
        for (int x = int(at.x()) - half; x <= int(at.x()) + half; ++x) {
            if (a.rect().contains(x, y) && a.pixel(x, y) != b.pixel(x, y))
                ++changed;
        }
    }
    return changed;
}

int reddishAround(const QImage& image, QPointF at, int half)
{
    int count = 0;
    for (int y = int(at.y()) - half; y <= int(at.y()) + half; ++y) {
        for (int x = int(at.x()) - half; x <= int(at.x()) + half; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 90 && c.blue() < 90)
                ++count;
        }
    }
    return count;
}

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TrendChartTest : public QObject
{
    Q_OBJECT

    TrendChart* m_chart = nullptr;

    void drag(QPoint from, QPoint to)
    {
        QTest::mousePress(m_chart, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, to, m_chart->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(m_chart, &move);
        QTest::mouseRelease(m_chart, Qt::LeftButton, {}, to);
    }
    QPoint plotPoint(double fx, double fy) const
    {
        const QRect p = m_chart->plotArea();
        return QPointF(p.left() + fx * p.width(), p.top() + fy * p.height()).toPoint();
    }

private slots:
    void init()
    {
        m_chart = new TrendChart;
        m_chart->resize(600, 400);
        m_chart->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_chart));
    }
    void cleanup()
    {
        delete m_chart;
        m_chart = nullptr;
    }

    // A click must name the stroke drawn under the mouse, whatever its place
    // in the list; a click in empty space or on a hidden channel names none.
    void clickPicksTheStrokeUnderTheMouse()
    {
        m_chart->setStrokes(shuffledStrokes());
        QSignalSpy clicked(m_chart, &TrendChart::strokeClicked);
        for (const int id : {0, 3, 13, 19}) {
            const double x = (7 * id) % 20;
            const QPoint at = (pixelOf(*m_chart, x, 50 + x) + QPointF(2, -1)).toPoint();
            QTest::mouseClick(m_chart, Qt::LeftButton, {}, at);
            QCOMPARE(clicked.size(), 1);
            QCOMPARE(clicked.takeFirst().at(0).toInt(), id);
            QCOMPARE(m_chart->strokeAt(at), id);
        }
        // Between two strokes, far from every curve.
        const QPoint empty = pixelOf(*m_chart, 2.5, 160).toPoint();
        QCOMPARE(m_chart->strokeAt(empty), -1);
        QTest::mouseClick(m_chart, Qt::LeftButton, {}, empty);
        QCOMPARE(clicked.size(), 0);

        const QPoint onChannel4 = pixelOf(*m_chart, 7, 200 - 7).toPoint(); // id 1
        QCOMPARE(m_chart->strokeAt(onChannel4), 1);
        m_chart->setChannelVisible(3, false);
        QCOMPARE(m_chart->strokeAt(pixelOf(*m_chart, 7, 200 - 7).toPoint()), -1);
    }

    // Among many strokes in one column the nearest point wins, not the first listed.
    void theNearestOfManyStrokesIsPicked()
    {
        std::vector<TrendStroke> v;
        for (int i = 0; i < 100000; ++i)
            v.push_back(stroke(i, float(100 + (i % 7))));
        // Two strokes well above the band, a few pixels apart: each is found
        // at its own point though both are within reach of either.
        v[54321].peak[0] = 140;
        v[54322].peak[0] = 139.5f;
        m_chart->setStrokes(std::move(v));
        const QPointF upper = pixelOf(*m_chart, 54321, 140), lower = pixelOf(*m_chart, 54322, 139.5);
        QVERIFY(QLineF(upper, lower).length() > 2 && QLineF(upper, lower).length() < TrendChart::PickRadius);
        QCOMPARE(m_chart->strokeAt(upper.toPoint()), 54321);
        QCOMPARE(m_chart->strokeAt(lower.toPoint()), 54322);
    }

    // A drag zooms into the rectangle; a right click or a drag toward the top
    // left shows everything again; a click does not zoom.
    void dragZoomsAndRightClickResets()
    {
        m_chart->setStrokes(shuffledStrokes());
        const TrendRange full = m_chart->visibleRange();
        QTest::mouseClick(m_chart, Qt::LeftButton, {}, plotPoint(0.5, 0.5));
        QVERIFY(!m_chart->isZoomed());

        // Around channel 2's line (50 to 69) in the middle of the x range.
        drag(plotPoint(0.25, 0.5), plotPoint(0.75, 0.95));
        QVERIFY(m_chart->isZoomed());
        const TrendRange z = m_chart->visibleRange();
        const double xs = full.x1 - full.x0, ys = full.y1 - full.y0;
        QVERIFY(std::abs(z.x0 - (full.x0 + 0.25 * xs)) < xs / 100);
        QVERIFY(std::abs(z.x1 - (full.x0 + 0.75 * xs)) < xs / 100);
        QVERIFY(std::abs(z.y1 - (full.y1 - 0.5 * ys)) < ys / 100);
        QVERIFY(std::abs(z.y0 - (full.y1 - 0.95 * ys)) < ys / 100);
        QVERIFY(z.y0 < 60 && z.y1 > 60);
        // Points now sit where the zoomed axes put them, and a click there picks them.
        const QPoint id10 = pixelOf(*m_chart, 10, 60).toPoint(); // (7 * 10) % 20 = 10
        QCOMPARE(m_chart->strokeAt(id10), 10);
        QSignalSpy clicked(m_chart, &TrendChart::strokeClicked);
        QTest::mouseClick(m_chart, Qt::LeftButton, {}, id10);
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(clicked.at(0).at(0).toInt(), 10);
        QVERIFY(m_chart->isZoomed());

        QTest::mouseClick(m_chart, Qt::RightButton, {}, plotPoint(0.5, 0.5));
        QVERIFY(!m_chart->isZoomed());
        QCOMPARE(m_chart->visibleRange().x0, full.x0);
        QCOMPARE(m_chart->visibleRange().y1, full.y1);

        drag(plotPoint(0.2, 0.2), plotPoint(0.6, 0.6));
        QVERIFY(m_chart->isZoomed());
        drag(plotPoint(0.6, 0.6), plotPoint(0.2, 0.2));
        QVERIFY(!m_chart->isZoomed());

        // A zoom on stroke counts means nothing on a time axis.
        drag(plotPoint(0.2, 0.2), plotPoint(0.6, 0.6));
        QVERIFY(m_chart->isZoomed());
        m_chart->setAxis(TrendAxis::Timestamp);
        QVERIFY(!m_chart->isZoomed());
    }

    // Hovering over a point names its stroke through the caller's text; away from it the tip goes.
    void hoverNamesTheStroke()
    {
        m_chart->setStrokes(shuffledStrokes());
        QList<int> asked;
        m_chart->setStrokeName([&](int id) {
            asked.append(id);
            return QStringLiteral("H%1 stroke %2").arg(id, 4, 10, QLatin1Char('0')).arg(id * 3);
        });
        const QPoint on = pixelOf(*m_chart, 7, 57).toPoint(); // id 1, channel 2
        QTest::mouseMove(m_chart, on);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), QStringLiteral("H0001 stroke 3"));
        QCOMPARE(asked.last(), 1);
        QTest::mouseMove(m_chart, pixelOf(*m_chart, 2.5, 160).toPoint());
        QTRY_VERIFY(!QToolTip::isVisible());
    }

    // Batches arriving during a scan must end in the same picture as the whole list at once.
    void batchesDrawTheSameAsOneList()
    {
        std::vector<TrendStroke> all;
        for (int i = 0; i < 5000; ++i) {
            TrendStroke s = stroke(5000 - i, float(300 + 20 * std::sin(i / 50.0)), float(i % 13), NaN, float(i));
            s.outOfLimits[1] = i % 97 == 0;
            all.push_back(s);
        }
        m_chart->setSelected({10, 4000});
        m_chart->setStrokes(all);
        const QImage whole = rendered(*m_chart);
        const TrendRange range = m_chart->visibleRange();

        m_chart->setStrokes({});
        for (std::size_t i = 0; i < all.size(); i += 700)
            m_chart->appendStrokes(std::span(all).subspan(i, std::min<std::size_t>(700, all.size() - i)));
        QCOMPARE(m_chart->strokeCount(), 5000);
        QCOMPARE(m_chart->visibleRange().x0, range.x0);
        QCOMPARE(m_chart->visibleRange().y0, range.y0);
        QCOMPARE(m_chart->visibleRange().y1, range.y1);
        QVERIFY(rendered(*m_chart) == whole);
    }

    // The full view covers every value and every limit of the shown channels,
    // and only those; one stroke still gets an x range.
    void fullViewCoversValuesAndLimits()
    {
        m_chart->setStrokes({stroke(5, 100, 900)});
        TrendRange r = m_chart->visibleRange();
        QCOMPARE(r.x0, 4.0);
        QCOMPARE(r.x1, 6.0);
        QVERIFY(r.y0 < 100 && r.y1 > 900);

        m_chart->setChannelVisible(1, false);
        TrendLimits limits;
        limits.high[0] = 150;
        limits.low[0] = 40;
        limits.target[1] = 5000; // channel 2 is hidden: its target does not count
        m_chart->setLimits(limits);
        r = m_chart->visibleRange();
        QVERIFY(r.y0 < 40 && r.y0 > 30);
        QVERIFY(r.y1 > 150 && r.y1 < 160);

        // An infinite peak is no value: the axis stays finite.
        m_chart->setLimits({});
        m_chart->setStrokes({stroke(1, 10), stroke(2, std::numeric_limits<float>::infinity())});
        r = m_chart->visibleRange();
        QVERIFY(std::isfinite(r.y0) && std::isfinite(r.y1));
        QVERIFY(r.y1 < 20);
    }

    // Selected strokes get a larger marker; out-of-limits ones a red ring.
    void selectedAndOutOfLimitsStrokesAreMarked()
    {
        std::vector<TrendStroke> v;
        for (int i = 0; i < 3000; ++i)
            v.push_back(stroke(i, float(100 + (i % 11))));
        v[700].peak[0] = 140;
        v[2200].peak[0] = 60;
        m_chart->setStrokes(v);
        const QImage plain = rendered(*m_chart);
        const QPointF p700 = pixelOf(*m_chart, 700, 140);
        const QPointF p2200 = pixelOf(*m_chart, 2200, 60);

        m_chart->setSelected({700, 999999, -4});
        const QImage selected = rendered(*m_chart);
        QVERIFY2(changedAround(plain, selected, p700, 6) > 20, "no highlight at the selected stroke");
        QCOMPARE(changedAround(plain, selected, p2200, 6), 0);

        m_chart->setSelected({});
        QCOMPARE(reddishAround(plain, p2200, 5), 0);
        v[2200].outOfLimits[0] = true;
        m_chart->setStrokes(v);
        const QImage flagged = rendered(*m_chart);
        QVERIFY2(reddishAround(flagged, p2200, 5) > 5, "no red ring at the stroke out of limits");
        QCOMPARE(reddishAround(flagged, p700, 5), 0);
    }

    // An empty chart still has its axes and says why nothing is drawn; at its
    // smallest size nothing runs off the edge.
    void emptyAndSmallChartsStayInside()
    {
        const QImage empty = rendered(*m_chart);
        const QRect plot = m_chart->plotArea();
        QVERIFY(m_chart->rect().contains(plot));
        int dark = 0;
        for (int y = plot.center().y() - 8; y <= plot.center().y() + 8; ++y)
            for (int x = plot.center().x() - 40; x <= plot.center().x() + 40; ++x)
                dark += qGray(empty.pixel(x, y)) < 128;
        QVERIFY2(dark > 10, "no text in the middle of an empty chart");

        m_chart->setAxis(TrendAxis::Timestamp);
        m_chart->setStrokes({stroke(1767225600, 10, 20, 30, 40), stroke(1767225600 + 9 * 86400, 1234.5f, 20, 30, 40)});
        m_chart->resize(m_chart->minimumSizeHint());
        const QImage small = rendered(*m_chart);
        QVERIFY(m_chart->rect().contains(m_chart->plotArea()));
        QVERIFY(m_chart->plotArea().width() > 150 && m_chart->plotArea().height() > 100);
        for (int x = 0; x < small.width(); ++x) {
            QCOMPARE(small.pixel(x, 0), qRgb(255, 255, 255));
            QCOMPARE(small.pixel(x, small.height() - 1), qRgb(255, 255, 255));
        }
        for (int y = 0; y < small.height(); ++y) {
            QCOMPARE(small.pixel(0, y), qRgb(255, 255, 255));
            QCOMPARE(small.pixel(small.width() - 1, y), qRgb(255, 255, 255));
        }
    }

    // Each format reads back as what it claims to be, at the chart's size.
    void exportsReadBack()
    {
        QTemporaryDir dir;
        m_chart->setAxis(TrendAxis::Timestamp);
        std::vector<TrendStroke> v;
        for (int i = 0; i < 2000; ++i)
            v.push_back(stroke(1767225600 + 60.0 * i, float(100 + i % 9), float(80 + i % 5), float(60), float(40)));
        m_chart->setStrokes(v);
        QString error;

        const QString png = dir.filePath(QStringLiteral("trend.PNG"));
        QVERIFY2(m_chart->exportTo(png, &error), qPrintable(error));
        const QImage image(png);
        QCOMPARE(image.size(), m_chart->size());
        QVERIFY(image == rendered(*m_chart).convertToFormat(image.format()));

        const QString svg = dir.filePath(QStringLiteral("trend.svg"));
        QVERIFY2(m_chart->exportTo(svg, &error), qPrintable(error));
        QFile svgFile(svg);
        QVERIFY(svgFile.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&svgFile);
        // The stroke colour of each open group, and the longest line drawn in each colour.
        QStringList strokes{QStringLiteral("none")};
        QHash<QString, int> longest;
        int shapes = 0;
        QStringList texts;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == QLatin1String("g"))
                strokes.removeLast();
            if (!xml.isStartElement())
                continue;
            const auto attributes = xml.attributes();
            if (xml.name() == QLatin1String("g")) {
                strokes.append(attributes.hasAttribute(QLatin1String("stroke"))
                                   ? attributes.value(QLatin1String("stroke")).toString()
                                   : strokes.last());
            } else if (xml.name() == QLatin1String("path") || xml.name() == QLatin1String("polyline")) {
                ++shapes;
                const QString geometry = attributes.value(QLatin1String("points")).toString() +
                                         attributes.value(QLatin1String("d")).toString();
                const int numbers = int(geometry.count(QRegularExpression(QStringLiteral("[-0-9.]+"))));
                longest[strokes.last()] = std::max(longest.value(strokes.last()), numbers / 2);
            } else if (xml.name() == QLatin1String("text")) {
                texts.append(xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed());
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(shapes > 0);
        // Every channel's curve is in the drawing: a line of many points in its colour.
        for (int c = 0; c < 4; ++c) {
            const QString colour = TrendChart::channelColour(c).name();
            QVERIFY2(longest.value(colour) > 200, qPrintable(colour));
        }
        QVERIFY(texts.contains(QStringLiteral("Peak load")));
        QVERIFY(texts.contains(QStringLiteral("Time")));
        QVERIFY(texts.contains(QStringLiteral("Ch4")));
        // Time ticks read as civil date and time, on the data's days.
        const QRegularExpression tick(QStringLiteral("^2026-01-0[12] \\d\\d:\\d\\d$"));
        QVERIFY(std::any_of(texts.begin(), texts.end(), [&](const QString& t) { return tick.match(t).hasMatch(); }));

        const QString pdf = dir.filePath(QStringLiteral("trend.pdf"));
        QVERIFY2(m_chart->exportTo(pdf, &error), qPrintable(error));
        const QString info = run(QStringLiteral("pdfinfo"), {pdf});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\b"))), qPrintable(info));
        QVERIFY2(info.contains(QStringLiteral("600 x 400 pts")), qPrintable(info));
        const QString text = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QVERIFY2(text.contains(QStringLiteral("Peak load")), qPrintable(text));

        QVERIFY(!m_chart->exportTo(dir.filePath(QStringLiteral("trend.bmp")), &error));
        QVERIFY(error.contains(QStringLiteral("trend.bmp")));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("trend.bmp"))));
    }

    // A save that cannot be made says why and leaves nothing behind.
    void failedExportLeavesNothing()
    {
        QTemporaryDir dir;
        m_chart->setStrokes(shuffledStrokes());
        QString error;
        const QString missing = dir.filePath(QStringLiteral("no/such/folder/trend.png"));
        QVERIFY(!m_chart->exportTo(missing, &error));
        QVERIFY2(error.contains(missing), qPrintable(error));

        // A file where the folder should be: no one can write under it, root included.
        const QString notAFolder = dir.filePath(QStringLiteral("plain"));
        {
            QFile f(notAFolder);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        error.clear();
        QVERIFY(!m_chart->exportTo(notAFolder + QStringLiteral("/trend.svg"), &error));
        QVERIFY2(error.contains(QStringLiteral("trend.svg")), qPrintable(error));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("plain")});

        if (::geteuid() == 0)
            QSKIP("root may write into a read-only folder");
        const QString locked = dir.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkdir(locked));
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
        error.clear();
        QVERIFY(!m_chart->exportTo(locked + QStringLiteral("/trend.pdf"), &error));
        QVERIFY(!error.isEmpty());
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(
            QDir(locked).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot).isEmpty());
    }

    // A link planted where the picture goes is replaced; the file it names is untouched.
    void linkAtTheNameIsReplacedNotWrittenThrough()
    {
        QTemporaryDir dir;
        const QString victim = dir.filePath(QStringLiteral("victim.txt"));
        {
            QFile f(victim);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("keep me\n");
        }
        const QString name = dir.filePath(QStringLiteral("trend.svg"));
        QVERIFY(QFile::link(victim, name));
        m_chart->setStrokes(shuffledStrokes());
        QString error;
        QVERIFY2(m_chart->exportTo(name, &error), qPrintable(error));
        QFile f(victim);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("keep me\n"));
        QVERIFY(!QFileInfo(name).isSymLink());
        QVERIFY(QFileInfo(name).isFile());
        QFile svg(name);
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QVERIFY(svg.readAll().contains("<svg"));
    }
};

QTEST_MAIN(TrendChartTest)
#include "tst_trendchart.moc"
