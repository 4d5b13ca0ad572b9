// The metafile as a reader we did not write sees it: emf2svg converts it to
// SVG, and the SVG must show every line as wide as the screen shows it and
// every shape within the picture the header declares.
#include "EmfPaintEngine.h"
#include "EmfTestSupport.h"
#include "SvgReadBack.h"
#include "TempDir.h"
#include "chart/ExportColours.h"
#include "chart/SignatureChart.h"
#include "display/WavePrintPage.h"
#include "metafile/EmfPaintDevice.h"

#include <QDir>
#include <QFile>
#include <QLineSeries>
#include <QPainter>
#include <QPainterPath>

#include <uemf.h>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

namespace {

// A metafile and what emf2svg made of it, with the scale between the two.
struct ReadBack
{
    bool read = false; // the converter ran and its SVG was read completely
    QRect bounds;      // the header's bounds, inclusive, in logical units
    double scale = 0;  // SVG units per logical unit
    SvgPicture svg;

    // A width in screen pixels as the SVG should show it: ten units a pixel.
    double svgWidth(double pixels) const { return pixels * EmfPaintEngine::kUnitsPerPixel * scale; }
    // A point of the SVG back in the metafile's logical units.
    QPointF units(const QPointF& p) const { return p / scale + QPointF(bounds.topLeft()); }
};

// When QD_KEEP_METAFILES names a directory, the metafile and its SVG are
// left there under name, for a look with LibreOffice or an SVG viewer.
void keepForALook(const QString& name, const QByteArray& emf, const QByteArray& svg)
{
    const QString dir = qEnvironmentVariable("QD_KEEP_METAFILES");
    if (dir.isEmpty())
        return;
    for (const auto& [suffix, bytes] :
         {std::pair{QStringLiteral(".emf"), emf}, std::pair{QStringLiteral(".svg"), svg}}) {
        QFile file(QDir(dir).filePath(name + suffix));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }
}

ReadBack readBack(const QString& name, const QByteArray& emf)
{
    ReadBack r;
    r.bounds = QRect(QPoint(fieldAt<int32_t>(emf, offsetof(U_EMRHEADER, rclBounds)),
                            fieldAt<int32_t>(emf, offsetof(U_EMRHEADER, rclBounds) + 4)),
                     QPoint(fieldAt<int32_t>(emf, offsetof(U_EMRHEADER, rclBounds) + 8),
                            fieldAt<int32_t>(emf, offsetof(U_EMRHEADER, rclBounds) + 12)));
    QString error;
    const QByteArray svg = convertWithEmf2Svg(emf, &error);
    keepForALook(name, emf, svg);
    // Fails, not skips: the project's set-up installs the converter.
    if (!error.isEmpty()) {
        ADD_FAILURE() << error.toStdString();
        return r;
    }
    r.svg = readSvg(svg);
    if (!r.svg.error.isEmpty()) {
        ADD_FAILURE() << "the converter's SVG: " << r.svg.error.toStdString();
        return r;
    }
    // The converter spans the bounds' extent with the picture's size.
    r.scale = r.svg.size.width() / (r.bounds.right() - r.bounds.left());
    EXPECT_NEAR(r.svg.size.height() / (r.bounds.bottom() - r.bounds.top()), r.scale, r.scale * 0.01)
        << "the converter scaled the two directions differently";
    r.read = true;
    return r;
}

// Every coordinate of every drawn shape lies within the header's bounds (whose
// right and bottom edge a filled rectangle reaches), also where a clip would
// hide the part outside: a reader that clips differently would show it.
void expectAllInsideBounds(const ReadBack& r)
{
    const QRectF allowed(QPointF(r.bounds.left(), r.bounds.top()),
                         QPointF(r.bounds.right() + 1.0, r.bounds.bottom() + 1.0));
    int outside = 0;
    for (const SvgShape& shape : r.svg.shapes) {
        for (const QPointF& p : shape.points) {
            const QPointF u = r.units(p);
            // Within a hundredth of a unit: the converter prints four decimals.
            if (u.x() < allowed.left() - 0.01 || u.x() > allowed.right() + 0.01 || u.y() < allowed.top() - 0.01 ||
                u.y() > allowed.bottom() + 0.01) {
                if (++outside <= 5)
                    ADD_FAILURE() << shape.element.toStdString() << " filled " << shape.fill.name().toStdString()
                                  << " reaches (" << u.x() << ", " << u.y() << "), outside the bounds "
                                  << r.bounds.right() << " x " << r.bounds.bottom();
                break;
            }
        }
    }
    EXPECT_EQ(outside, 0) << "shapes drawn outside the picture";
}

// emf2svg outlines a fill drawn without a pen in its own colour, one unit
// wide; such an outline is not a pen of the picture.
bool isPenlessFillEdge(const SvgShape& s)
{
    return s.fill.isValid() && s.stroke == s.fill && std::abs(s.strokeWidth - 1.0) < 1e-9;
}

const SvgShape* onlyShapeStrokedIn(const ReadBack& r, const QColor& colour)
{
    const SvgShape* found = nullptr;
    for (const SvgShape& s : r.svg.shapes)
        if (s.stroked && s.stroke == colour && !isPenlessFillEdge(s)) {
            EXPECT_EQ(found, nullptr) << "more than one shape stroked in " << colour.name().toStdString();
            found = &s;
        }
    EXPECT_NE(found, nullptr) << "nothing stroked in " << colour.name().toStdString();
    return found;
}

QRectF extentInUnits(const ReadBack& r, const SvgShape& s)
{
    double left = 1e300, top = 1e300, right = -1e300, bottom = -1e300;
    for (const QPointF& p : s.points) {
        const QPointF u = r.units(p);
        left = std::min(left, u.x());
        top = std::min(top, u.y());
        right = std::max(right, u.x());
        bottom = std::max(bottom, u.y());
    }
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

// Lines of known widths, and filled shapes drawn under a moved painter the way
// a chart's legend is: its own position is in the painter's transform.
void drawKnownPens(QPainter& p)
{
    p.fillRect(QRect(0, 0, 400, 300), Qt::white);
    const auto zigzag = [&p](double y) {
        for (int i = 0; i < 10; ++i)
            p.drawLine(QLineF(20 + 30 * i, y + (i % 2) * 15, 50 + 30 * i, y + ((i + 1) % 2) * 15));
    };
    p.setPen(QPen(QColor(255, 0, 0), 1));
    zigzag(20);
    p.setPen(QPen(QColor(0, 0, 255), 2));
    zigzag(50);
    p.setPen(QPen(QColor(0, 160, 0), 0)); // a hairline is one pixel on screen
    zigzag(80);
    p.save();
    p.scale(2, 2); // a pen that is not cosmetic grows with the painter's scale
    p.setPen(QPen(QColor(255, 0, 255), 1.5));
    p.drawLine(QLineF(10, 65, 190, 65));
    p.restore();

    p.save();
    p.translate(250, 180);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 128, 128));
    QPainterPath legend;
    legend.addRoundedRect(QRectF(0, 0, 120, 100), 8, 8);
    p.drawPath(legend);
    p.setPen(QPen(QColor(128, 64, 0), 1));
    p.setBrush(QColor(200, 200, 0));
    const QPointF mark[3] = {{10, 10}, {40, 10}, {25, 40}};
    p.drawPolygon(mark, 3);
    p.setBrush(QColor(100, 0, 150));
    p.drawRect(QRectF(60, 20, 30, 30));
    p.restore();
}

} // namespace

TEST(EmfSecondReader, LinesAreAsWideAsOnScreen)
{
    const ReadBack r = readBack(QStringLiteral("known-pens"), writeEmf(QSize(400, 300), drawKnownPens));
    ASSERT_TRUE(r.read);
    const std::vector<std::pair<QColor, double>> pens = {
        {QColor(255, 0, 0), 1.0}, {QColor(0, 0, 255), 2.0}, {QColor(0, 160, 0), 1.0}, {QColor(255, 0, 255), 3.0}};
    for (const auto& [colour, pixels] : pens) {
        SCOPED_TRACE(colour.name().toStdString());
        if (const SvgShape* line = onlyShapeStrokedIn(r, colour)) {
            EXPECT_NEAR(line->strokeWidth, r.svgWidth(pixels), r.svgWidth(pixels) * 0.01)
                << "a " << pixels << " pixel line";
        }
    }
}

TEST(EmfSecondReader, ShapesUnderAMovedPainterStayWhereTheyWereDrawn)
{
    const ReadBack r = readBack(QStringLiteral("known-pens"), writeEmf(QSize(400, 300), drawKnownPens));
    ASSERT_TRUE(r.read);
    expectAllInsideBounds(r);
    // The filled path, the triangle and the square, each at the painter's
    // offset of (250, 180) pixels and no further.
    const std::vector<std::pair<QColor, QRectF>> filled = {{QColor(0, 128, 128), QRectF(2500, 1800, 1200, 1000)},
                                                           {QColor(200, 200, 0), QRectF(2600, 1900, 300, 300)},
                                                           {QColor(100, 0, 150), QRectF(3100, 2000, 300, 300)}};
    for (const auto& [colour, expected] : filled) {
        SCOPED_TRACE(colour.name().toStdString());
        const SvgShape* shape = nullptr;
        for (const SvgShape& s : r.svg.shapes)
            if (s.fill == colour)
                shape = &s;
        ASSERT_NE(shape, nullptr) << "the converter drew no shape filled in this colour";
        const QRectF drawn = extentInUnits(r, *shape);
        EXPECT_NEAR(drawn.left(), expected.left(), 2.0);
        EXPECT_NEAR(drawn.top(), expected.top(), 2.0);
        EXPECT_NEAR(drawn.right(), expected.right(), 2.0);
        EXPECT_NEAR(drawn.bottom(), expected.bottom(), 2.0);
    }
}

namespace {

// The display's chart with five waves, the second and fourth drawn bold, as the
// printout writes it: in the export colours, through the printout's own writer.
QByteArray printedChart(SignatureChart& chart, std::map<QRgb, std::set<double>>* widthsByColour)
{
    chart.resize(790, 522);
    chart.show();
    chart.setBottomRange(-60, 60);
    for (int i = 0; i < SignatureChart::SeriesCount; ++i) {
        QList<QPointF> points;
        for (int k = 0; k < 448; ++k)
            points.append(QPointF(-60 + 120.0 * k / 447, 40 + 30 * std::sin(k * 0.02 + i * 0.3) + 2 * i));
        chart.replacePoints(i, points);
        chart.setActive(i, true);
        const int wave = i / 4 + 1;
        chart.setLineWidth(i, wave == 2 || wave == 4 ? 2 : 1);
    }
    TempDir dir;
    const QString path = QString::fromStdString(dir.file(ChartPictureName));
    {
        const ExportColoursGuard exportColours(chart);
        // The curves as they are written: in the colours they wear on paper.
        for (int i = 0; i < SignatureChart::SeriesCount; ++i)
            (*widthsByColour)[chart.series(i)->pen().color().rgb()].insert(chart.lineWidth(i));
        writeChartPicture(chart, path);
    }
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << "the printout wrote no picture";
    return file.readAll();
}

} // namespace

TEST(EmfSecondReader, ThePrintedChartKeepsItsLineWidthsAndItsLegendInside)
{
    SignatureChart chart;
    std::map<QRgb, std::set<double>> widthsByColour;
    const ReadBack r = readBack(QStringLiteral("chart"), printedChart(chart, &widthsByColour));
    ASSERT_TRUE(r.read);
    expectAllInsideBounds(r);

    // The curves are the long polylines; each is drawn as wide as its series.
    int curves = 0;
    for (const SvgShape& s : r.svg.shapes) {
        if (!s.stroked || s.points.size() < 100)
            continue;
        ++curves;
        const auto series = widthsByColour.find(s.stroke.rgb());
        ASSERT_NE(series, widthsByColour.end())
            << "a curve in " << s.stroke.name().toStdString() << ", which no series has";
        const bool matches = std::any_of(series->second.begin(), series->second.end(), [&](double pixels) {
            return std::abs(s.strokeWidth - r.svgWidth(pixels)) <= r.svgWidth(pixels) * 0.01;
        });
        EXPECT_TRUE(matches) << "a curve in " << s.stroke.name().toStdString() << " is " << s.strokeWidth
                             << " wide; its series are " << *series->second.begin() << " pixel(s)";
    }
    EXPECT_EQ(curves, SignatureChart::SeriesCount);

    // Every other line of the chart (axes, grid, legend boxes) is one pixel.
    for (const SvgShape& s : r.svg.shapes) {
        if (s.stroked && s.points.size() < 100 && !isPenlessFillEdge(s)) {
            EXPECT_NEAR(s.strokeWidth, r.svgWidth(1), r.svgWidth(1) * 0.01)
                << s.element.toStdString() << " stroked in " << s.stroke.name().toStdString();
        }
    }
}
