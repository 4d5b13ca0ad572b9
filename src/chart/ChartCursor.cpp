#include "chart/ChartCursor.h"

#include "chart/ChartCursorBox.h"
#include "chart/SignatureChart.h"
#include "signature/NumberFormat.h"

#include <QCategoryAxis>
#include <QGraphicsEffect>
#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QLegend>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmapCache>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Opaque: cheaper to draw than a blended line, and as plain on black.
const QColor LineColour(176, 176, 176);
const QColor HeaderColour(Qt::white);

// Above the chart and everything it holds.
constexpr qreal CursorZ = 1000;
// Room between the line and the box.
constexpr qreal BoxGap = 8;

} // namespace

// Keeps the chart as last drawn on screen in a pixmap, so that repainting the
// small areas the read-out leaves and enters costs a copy instead of drawing
// all twenty curves again (Qt Charts draws every curve in full, segment by
// segment, however little of it is exposed). Any change inside the chart
// discards the pixmap; the next paint draws the chart afresh into it.
// Pages, metafiles and bitmaps are drawn directly, as vectors at their own
// resolution, and so is a screen whose pixels are finer than the layout's.
class ChartCursor::ScreenCache : public QGraphicsEffect
{
public:
    using QGraphicsEffect::QGraphicsEffect;

protected:
    void draw(QPainter* painter) override
    {
        const QPaintDevice* device = painter->device();
        if (!device || device->devType() != QInternal::Widget || device->devicePixelRatio() != 1) {
            drawSource(painter);
            return;
        }
        // A pixmap too large for the shared pixmap cache would be drawn afresh
        // on every paint, which is dearer than drawing the chart directly.
        const QRectF area = sourceBoundingRect(Qt::DeviceCoordinates);
        if (area.width() * area.height() * 4 > QPixmapCache::cacheLimit() * 1024.0 / 2) {
            drawSource(painter);
            return;
        }
        QPoint offset;
        const QPixmap pixmap = sourcePixmap(Qt::DeviceCoordinates, &offset, NoPad);
        if (pixmap.isNull()) {
            drawSource(painter);
            return;
        }
        const QTransform saved = painter->worldTransform();
        painter->setWorldTransform(QTransform());
        painter->drawPixmap(offset, pixmap);
        painter->setWorldTransform(saved);
    }
};

ChartCursor::ChartCursor(SignatureChart* view) : m_view(view)
{
    setFlag(ItemHasNoContents);
    setAcceptedMouseButtons(Qt::NoButton);
    setZValue(CursorZ);
    m_line = new QGraphicsLineItem(this);
    // Flat ends: the line must not reach past the plot by half its width.
    m_line->setPen(QPen(LineColour, 1, Qt::SolidLine, Qt::FlatCap));
    m_line->setAcceptedMouseButtons(Qt::NoButton);
    m_box = new ChartCursorBox(this);
    setVisible(false);
    view->scene()->addItem(this);
    m_cache = new ScreenCache;
    view->chart()->setGraphicsEffect(m_cache); // the chart owns it
    // With the chart cached, one rectangle around where the read-out was and
    // is now is the cheapest repaint: a single copy from the cache.
    view->setViewportUpdateMode(QGraphicsView::BoundingRectViewportUpdate);

    // Moves without a button held only reach the viewport when it asks for them.
    view->viewport()->setMouseTracking(true);
    view->viewport()->installEventFilter(this);
    watchChart();
}

ChartCursor::~ChartCursor()
{
    m_view->viewport()->removeEventFilter(this);
    if (m_view->chart()->graphicsEffect() == m_cache)
        m_view->chart()->setGraphicsEffect(nullptr);
}

void ChartCursor::watchChart()
{
    // A zoom step, a new load, a curve shown or hidden and a new layout all
    // change what lies under a mouse that did not move.
    QChart* chart = m_view->chart();
    connect(chart, &QChart::plotAreaChanged, this, &ChartCursor::refresh);
    connect(m_view->bottomAxis(), &QValueAxis::rangeChanged, this, &ChartCursor::refresh);
    for (int i = 0; i < SignatureChart::SeriesCount; ++i) {
        QLineSeries* s = m_view->series(i);
        connect(s, &QAbstractSeries::visibleChanged, this, &ChartCursor::refresh);
        connect(s, &QXYSeries::pointsReplaced, this, &ChartCursor::refresh);
        connect(s, &QXYSeries::pointReplaced, this, &ChartCursor::refresh);
        connect(s, &QXYSeries::pointAdded, this, &ChartCursor::refresh);
        connect(s, &QXYSeries::pointRemoved, this, &ChartCursor::refresh);
        connect(s, &QXYSeries::pointsRemoved, this, &ChartCursor::refresh);
        connect(s, &QXYSeries::colorChanged, this, &ChartCursor::refresh);
    }
}

ChartCursor::Suppressed::Suppressed(ChartCursor* cursor) : m_cursor(cursor)
{
    // The screen's cached picture of the chart would otherwise stand in for
    // the chart in any rendering at the screen's scale: a file or a page gets
    // the chart itself, as vectors and text.
    if (m_cursor->m_suppressed++ == 0)
        m_cursor->m_cache->setEnabled(false);
    m_cursor->refresh();
}

ChartCursor::Suppressed::~Suppressed()
{
    if (--m_cursor->m_suppressed == 0)
        m_cursor->m_cache->setEnabled(true);
    m_cursor->refresh();
}

bool ChartCursor::isShown() const
{
    return isVisible();
}

QLineF ChartCursor::lineInScene() const
{
    return QLineF(mapToScene(m_line->line().p1()), mapToScene(m_line->line().p2()));
}

QRectF ChartCursor::boxInScene() const
{
    return m_box->sceneBoundingRect();
}

QString ChartCursor::formatValue(double value)
{
    // The reading's own rounding and unsigned zero, in any locale.
    return QString::fromStdString(numfmt::fixed1Text(value, numfmt::Fixed1Style::Reading));
}

std::optional<qsizetype> ChartCursor::nearestPoint(const QList<QPointF>& points, double x)
{
    // Curves run toward rising or falling angles (a window may be recorded
    // backwards), so no order is assumed; 448 points are a trivial scan.
    std::optional<qsizetype> best;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (qsizetype i = 0; i < points.size(); ++i) {
        const double d = std::abs(points[i].x() - x);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

bool ChartCursor::reaches(const QList<QPointF>& points, double angle)
{
    if (points.isEmpty() || std::isnan(angle))
        return false;
    const double first = points.front().x();
    const double last = points.back().x();
    const double step = points.size() > 1 ? (last - first) / static_cast<double>(points.size() - 1) : 0.0;
    const double end = last + step;
    const double lo = std::min(first, end);
    const double hi = std::max(first, end);
    // The ends are sums of many steps; a rounding must not cut off the end
    // of a window, nor a window of no width from the axis drawn around it.
    const double slack = 1e-9 * std::max({1.0, std::abs(lo), std::abs(hi)});
    return angle >= lo - slack && angle <= hi + slack;
}

CursorReading ChartCursor::readingAt(const SignatureChart& chart, double angle)
{
    CursorReading reading;
    reading.angle = angle;
    for (int i = 0; i < SignatureChart::SeriesCount; ++i) {
        const QLineSeries* s = chart.series(i);
        if (!s->isVisible())
            continue;
        const QList<QPointF> points = s->points(); // shared, not copied
        if (!reaches(points, angle))
            continue; // an empty curve, or one whose window ends short of the angle
        const std::optional<qsizetype> nearest = nearestPoint(points, angle);
        if (!nearest)
            continue;
        reading.rows.append({i, s->name(), s->color(), points[*nearest].y()});
    }
    return reading;
}

bool ChartCursor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_view->viewport())
        return false;
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        const auto* me = static_cast<const QMouseEvent*>(event);
        m_mouse = me->position();
        m_over = true;
        m_held = me->buttons() != Qt::NoButton;
        refresh();
        break;
    }
    case QEvent::Leave:
    case QEvent::Hide:
        m_over = false;
        refresh();
        break;
    case QEvent::ToolTip:
        // The chart's hint would pop up over the box whenever the mouse rests;
        // over the axes and the title, where no read-out shows, it still does.
        return isShown();
    default:
        break;
    }
    return false; // the chart sees the mouse as before: zooming goes on unchanged
}

void ChartCursor::refresh()
{
    QChart* chart = m_view->chart();
    const QRectF plot = chart->mapRectToScene(chart->plotArea());
    const QPointF at = m_view->mapToScene(m_mouse.toPoint());
    const bool show = m_suppressed == 0 && m_over && !m_held && !plot.isEmpty() && plot.contains(at);
    if (!show) {
        setVisible(false);
        return;
    }

    const QCategoryAxis* axis = m_view->bottomAxis();
    const double angle = axis->min() + (at.x() - plot.left()) / plot.width() * (axis->max() - axis->min());
    m_reading = readingAt(*m_view, angle);

    QList<ChartCursorBox::Row> rows;
    rows.reserve(m_reading.rows.size() + 1);
    rows.append({axis->titleText(), formatValue(angle), HeaderColour});
    for (const CursorReading::Row& r : m_reading.rows)
        rows.append({r.title, formatValue(r.load), r.colour});
    m_box->setRows(rows, chart->legend()->font(), plot.size() - QSizeF(2, 2));

    // On a pixel's centre, so the line stays one crisp pixel wide.
    const qreal x = std::floor(at.x()) + 0.5;
    m_line->setLine(QLineF(x, std::ceil(plot.top()), x, std::floor(plot.bottom())));

    // Right of the line while it fits, else left of it; always inside the plot,
    // which keeps it off the axes and the legend.
    const QSizeF box = m_box->boundingRect().size();
    qreal left = x + BoxGap;
    if (left + box.width() > plot.right() - 1)
        left = x - BoxGap - box.width();
    left = std::clamp(left, plot.left() + 1, std::max(plot.left() + 1, plot.right() - 1 - box.width()));
    qreal top = at.y() - box.height() / 2;
    top = std::clamp(top, plot.top() + 1, std::max(plot.top() + 1, plot.bottom() - 1 - box.height()));
    m_box->setPos(std::round(left), std::round(top));
    setVisible(true);
}
