#include "chart/SignatureChart.h"

#include "chart/ChartCursor.h"

#include <QCategoryAxis>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QGraphicsLayout>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QRubberBand>
#include <QTimer>

#include <cmath>
#include <limits>

namespace {

// The curves on the black screen. Wave 5's fourth channel has a light red of
// its own, so that it is not taken for wave 2's first (red) or wave 4's second
// (maroon).
constexpr QRgb SeriesColours[SignatureChart::SeriesCount] = {
    qRgb(255, 255, 0),   qRgb(0, 255, 0),     qRgb(255, 128, 0), qRgb(0, 128, 255),   // wave 1
    qRgb(255, 0, 0),     qRgb(83, 119, 172),  qRgb(0, 128, 0),   qRgb(0, 0, 255),     // wave 2
    qRgb(255, 255, 255), qRgb(128, 128, 128), qRgb(255, 0, 255), qRgb(0, 128, 128),   // wave 3
    qRgb(0, 0, 128),     qRgb(128, 0, 0),     qRgb(128, 128, 0), qRgb(128, 0, 128),   // wave 4
    qRgb(192, 192, 192), qRgb(0, 255, 255),   qRgb(255, 0, 128), qRgb(255, 128, 128), // wave 5
};

// The same curves on white paper. A screen colour with less than 3:1 contrast
// against white cannot be followed on a page (white not at all, yellow, lime,
// aqua and silver hardly), so it gets a darker shade of its own hue; the
// others keep their screen colour. The shades were chosen, not computed: the
// plain darker yellow, green and cyan are already olive, green and teal, so
// these lean a little off their hue to stay clearly apart (CIEDE2000 16 or
// more from every other curve). White becomes black.
constexpr QRgb PaperColours[SignatureChart::SeriesCount] = {
    qRgb(184, 134, 0), qRgb(88, 160, 108),  qRgb(168, 86, 0),  qRgb(0, 128, 255), // wave 1
    qRgb(255, 0, 0),   qRgb(83, 119, 172),  qRgb(0, 128, 0),   qRgb(0, 0, 255),   // wave 2
    qRgb(0, 0, 0),     qRgb(128, 128, 128), qRgb(255, 0, 255), qRgb(0, 128, 128), // wave 3
    qRgb(0, 0, 128),   qRgb(128, 0, 0),     qRgb(128, 128, 0), qRgb(128, 0, 128), // wave 4
    qRgb(72, 72, 72),  qRgb(0, 156, 198),   qRgb(255, 0, 128), qRgb(154, 92, 92), // wave 5
};

const QColor AxisLineColour(192, 192, 192);
const QColor GridColour(96, 96, 96);
const QColor LegendColour(0, 64, 64);

// Label density: the bottom axis carries short angle labels across the
// chart's width, the left one load values down its height.
constexpr int BottomIntervals = 12;
constexpr int LoadIntervals = 10;
constexpr int RightIntervals = 5;
constexpr double MinAngleStep = 0.1; // one decimal is all the angle labels show

QFont chartFont(int pixelSize, bool bold = false)
{
    // One explicit family for screen and files alike, so a metafile names the
    // face the chart was laid out with.
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace

SignatureChart::SignatureChart(QWidget* parent) : QChartView(parent)
{
    buildChart();
    buildAxes();
    buildSeries();
    setChart(m_chart);
    setFrameShape(QFrame::NoFrame);
    setRenderHint(QPainter::Antialiasing);
    setRubberBand(NoRubberBand); // ours: it animates and has a way back
    setToolTip(QStringLiteral("Drag a rectangle to zoom in; right-click for the full view"));

    m_band = new QRubberBand(QRubberBand::Rectangle, viewport());
    m_band->hide();
    m_zoomTimer = new QTimer(this);
    m_zoomTimer->setInterval(ZoomStepMs);
    connect(m_zoomTimer, &QTimer::timeout, this, &SignatureChart::animationStep);

    setBottomRange(0, 1);
    m_cursor = new ChartCursor(this);
}

SignatureChart::~SignatureChart()
{
    // Before the scene takes the chart apart: the read-out listens to it.
    delete m_cursor;
}

void SignatureChart::buildChart()
{
    m_chart = new QChart;
    m_chart->setAnimationOptions(QChart::NoAnimation);
    // Without these a border in the view's own colour frames the black chart.
    m_chart->layout()->setContentsMargins(0, 0, 0, 0);
    m_chart->setBackgroundRoundness(0);
    m_chart->setDropShadowEnabled(false);
    m_chart->setMargins(QMargins(6, 4, 6, 4));
    m_chart->setBackgroundBrush(QBrush(Qt::black));
    m_chart->setBackgroundPen(Qt::NoPen);
    m_chart->setPlotAreaBackgroundVisible(false);

    m_chart->setTitle(QStringLiteral("Load Signature"));
    m_chart->setTitleFont(chartFont(19, true));
    m_chart->setTitleBrush(QBrush(Qt::white));

    QLegend* legend = m_chart->legend();
    // At the right the twenty entries fit one under the other; above or below
    // the plot they would be cut to a few letters each.
    legend->setAlignment(Qt::AlignRight);
    legend->setBackgroundVisible(true);
    legend->setBrush(QBrush(LegendColour));
    legend->setPen(Qt::NoPen);
    legend->setFont(chartFont(11));
    legend->setLabelBrush(QBrush(Qt::white));
    legend->setVisible(true);
}

void SignatureChart::buildAxes()
{
    auto make = [this](const char* title, Qt::Alignment side) {
        auto* axis = new QCategoryAxis(this);
        axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        axis->setTitleText(QString::fromLatin1(title));
        axis->setTitleFont(chartFont(11));
        axis->setTitleBrush(QBrush(Qt::white));
        axis->setLabelsFont(chartFont(11));
        axis->setLabelsBrush(QBrush(Qt::white));
        axis->setLinePen(QPen(AxisLineColour, 1));
        axis->setGridLinePen(QPen(GridColour, 1, Qt::SolidLine));
        axis->setMinorGridLineVisible(false);
        axis->setShadesVisible(false);
        m_chart->addAxis(axis, side);
        connect(axis, &QValueAxis::rangeChanged, this, [this, axis] { relabel(axis); });
        return axis;
    };
    m_bottom = make("Angle (deg)", Qt::AlignBottom);
    m_left = make("Ton", Qt::AlignLeft);
    m_right = make("Distance", Qt::AlignRight);
    // No curve belongs to the right axis; its grid would only cross the plot.
    m_right->setGridLineVisible(false);
    setAxisRange(m_right, 0, 1);
}

void SignatureChart::buildSeries()
{
    for (int i = 0; i < SeriesCount; ++i) {
        auto* s = new QLineSeries(this);
        s->setObjectName(QStringLiteral("Series%1").arg(i + 1));
        s->setName(QStringLiteral("Wave %1 : Ch%2").arg(i / 4 + 1).arg(i % 4 + 1));
        QPen pen(seriesColour(i));
        pen.setWidthF(1);
        s->setPen(pen);
        s->setPointsVisible(false);
        m_chart->addSeries(s);
        s->attachAxis(m_bottom);
        s->attachAxis(m_left);
        // Nothing to show before the first signature is loaded.
        s->setVisible(false);
        m_series[static_cast<std::size_t>(i)] = s;
    }
}

QColor SignatureChart::seriesColour(int index)
{
    return QColor(SeriesColours[index]);
}

QColor SignatureChart::paperColour(int index)
{
    return QColor(PaperColours[index]);
}

void SignatureChart::replacePoints(int index, const QList<QPointF>& points)
{
    series(index)->replace(points);
    followCurves();
}

bool SignatureChart::isActive(int index) const
{
    return series(index)->isVisible();
}

void SignatureChart::setActive(int index, bool active)
{
    // The legend drops and regains the entry of a hidden series by itself.
    series(index)->setVisible(active);
    followCurves();
}

qreal SignatureChart::lineWidth(int index) const
{
    return series(index)->pen().widthF();
}

void SignatureChart::setLineWidth(int index, qreal width)
{
    // The series' own pen, so its colour stays.
    QPen pen = series(index)->pen();
    pen.setWidthF(width);
    series(index)->setPen(pen);
}

void SignatureChart::setBottomRange(double min, double max)
{
    if (min > max)
        std::swap(min, max);
    if (max - min < MinBottomSpan)
        max = min + MinBottomSpan;
    m_bottomMin = min;
    m_bottomMax = max;
    m_zoomTimer->stop();
    m_zoomed = false;
    setAxisRange(m_bottom, min, max);
    followCurves();
}

bool SignatureChart::isLegendVisible() const
{
    return m_chart->legend()->isVisible();
}

void SignatureChart::setLegendVisible(bool visible)
{
    m_chart->legend()->setVisible(visible);
}

AxisScale SignatureChart::loadScale() const
{
    double lo = std::numeric_limits<double>::infinity();
    double hi = -lo;
    for (const QLineSeries* s : m_series) {
        if (!s->isVisible())
            continue;
        for (const QPointF& p : s->points()) {
            if (p.x() >= m_bottomMin && p.x() <= m_bottomMax && std::isfinite(p.y())) {
                lo = std::min(lo, p.y());
                hi = std::max(hi, p.y());
            }
        }
    }
    if (lo > hi) // nothing shown
        return {0, 1, 0.2};
    return outwardScale(lo, hi, LoadIntervals, MinLoadStep);
}

void SignatureChart::followCurves()
{
    if (m_zoomed)
        return; // the zoom rectangle decides what the left axis shows
    const AxisScale s = loadScale();
    m_loadStep = s.step;
    setAxisRange(m_left, s.lo, s.hi);
}

void SignatureChart::setAxisRange(QCategoryAxis* axis, double lo, double hi)
{
    // One relabelling for the new range, whether or not the range changed.
    m_relabelling = true;
    axis->setRange(lo, hi);
    m_relabelling = false;
    relabel(axis);
}

void SignatureChart::relabel(QCategoryAxis* axis)
{
    // Changing categories can move the range again; one pass at a time.
    if (m_relabelling)
        return;
    m_relabelling = true;
    const double span = axis->max() - axis->min();
    if (axis == m_bottom)
        labelTicks(axis, niceStep(span, BottomIntervals, MinAngleStep), NumberFormat::grouped1());
    else if (axis == m_left)
        labelTicks(axis, m_zoomed ? niceStep(span, LoadIntervals, MinLoadStep) : m_loadStep, NumberFormat::grouped3());
    else
        labelTicks(axis, niceStep(span, RightIntervals, MinLoadStep), NumberFormat::sparse3());
    m_relabelling = false;
}

ExportColours SignatureChart::exportColours() const
{
    const QLegend* legend = m_chart->legend();
    ExportColours c{m_chart->backgroundBrush().color(),
                    m_left->labelsBrush().color(),
                    m_left->linePenColor(),
                    m_bottom->labelsBrush().color(),
                    m_bottom->linePenColor(),
                    m_chart->titleBrush().color(),
                    legend->brush().color(),
                    legend->labelBrush().color(),
                    m_left->titleBrush().color(),
                    m_bottom->titleBrush().color(),
                    m_right->titleBrush().color(),
                    m_right->labelsBrush().color(),
                    m_right->linePenColor(),
                    {}};
    for (int i = 0; i < SeriesCount; ++i)
        c.series[static_cast<std::size_t>(i)] = series(i)->pen().color();
    return c;
}

void SignatureChart::setExportColours(const ExportColours& c)
{
    // In the fixed order of the set, so that a switch and its way back mirror each other.
    m_chart->setBackgroundBrush(QBrush(c.background));
    m_left->setLabelsBrush(QBrush(c.leftLabels));
    m_left->setLinePenColor(c.leftLine);
    m_bottom->setLabelsBrush(QBrush(c.bottomLabels));
    m_bottom->setLinePenColor(c.bottomLine);
    m_chart->setTitleBrush(QBrush(c.title));
    m_chart->legend()->setBrush(QBrush(c.legendBackground));
    // Qt recolours the frames of the legend's colour boxes along with the
    // texts; the boxes keep their own dark frames, which show on the legend's
    // ground on screen and on paper alike.
    const QList<QLegendMarker*> markers = m_chart->legend()->markers();
    QList<QPen> frames;
    for (const QLegendMarker* m : markers)
        frames << m->pen();
    m_chart->legend()->setLabelBrush(QBrush(c.legendText));
    for (qsizetype i = 0; i < markers.size(); ++i)
        markers[i]->setPen(frames[i]);
    m_left->setTitleBrush(QBrush(c.leftTitle));
    m_bottom->setTitleBrush(QBrush(c.bottomTitle));
    m_right->setTitleBrush(QBrush(c.rightTitle));
    m_right->setLabelsBrush(QBrush(c.rightLabels));
    m_right->setLinePenColor(c.rightLine);
    // The curves last; the legend's colour boxes follow each curve's pen.
    for (int i = 0; i < SeriesCount; ++i) {
        // The series' own pen, so its width (bold or not) stays. Most curves
        // look the same on paper; leaving them alone spares a redraw each.
        QPen pen = series(i)->pen();
        if (pen.color() == c.series[static_cast<std::size_t>(i)])
            continue;
        pen.setColor(c.series[static_cast<std::size_t>(i)]);
        series(i)->setPen(pen);
    }
}

void SignatureChart::layoutForRender()
{
    // A view that was never shown has not passed its size on to the chart yet,
    // and a chart that was changed since its last paint draws stale axes
    // unless its layout runs first.
    const QSizeF onScreen(size());
    if (m_chart->size() != onScreen) {
        m_chart->resize(onScreen);
        setSceneRect(QRectF(QPointF(0, 0), onScreen));
    }
    // The legend lays out its entries on a posted request of its own; a
    // picture taken before the event loop ran would show it empty.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    m_chart->layout()->activate();
}

void SignatureChart::renderChart(QPainter* painter, const QRectF& target)
{
    layoutForRender();
    // The read-out belongs to the screen, never to a page or a file.
    const ChartCursor::Suppressed noCursor(m_cursor);
    scene()->render(painter, target, QRectF(QPointF(0, 0), QSizeF(size())), Qt::IgnoreAspectRatio);
}

QImage SignatureChart::renderImage()
{
    QImage image(size(), QImage::Format_RGB32);
    image.fill(m_chart->backgroundBrush().color());
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderChart(&painter, QRectF(image.rect()));
    return image;
}
