// The trend chart's data, view and mouse: strokes arrive whole or in batches,
// a dragged rectangle zooms, and the mouse names or picks the nearest point.
#include "trendchart/TrendChart.h"

#include "TrendLayout.h"
#include "chart/SignatureChart.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A press and release further apart than this either way is a drag, not a click.
constexpr int MinDragPixels = 4;
// Room above and below the values shown, as a share of their span.
constexpr double YMargin = 0.05;

} // namespace

TrendChart::TrendChart(QWidget* parent) : QWidget(parent), m_band(new QRubberBand(QRubberBand::Rectangle, this))
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFont(trendFont());
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

TrendChart::~TrendChart() = default;

QColor TrendChart::channelColour(int channel)
{
    // On white, as in the display's printout and files.
    return SignatureChart::paperColour(SignatureChart::seriesIndex(1, channel + 1));
}

QSize TrendChart::sizeHint() const
{
    return {640, 360};
}

QSize TrendChart::minimumSizeHint() const
{
    return {320, 200};
}

void TrendChart::setAxis(TrendAxis axis)
{
    // A zoom's x range is in the other axis' units.
    if (axis != m_axis)
        m_zoom.reset();
    m_axis = axis;
    viewChanged();
}

void TrendChart::setStrokes(std::vector<TrendStroke> strokes)
{
    m_x.clear();
    for (auto& p : m_peak)
        p.clear();
    m_outFlags.clear();
    m_outIds.clear();
    m_hasX = false;
    m_hasY = {};
    m_zoom.reset();
    m_x.reserve(strokes.size());
    for (auto& p : m_peak)
        p.reserve(strokes.size());
    m_outFlags.reserve(strokes.size());
    addStrokes(strokes);
}

void TrendChart::appendStrokes(std::span<const TrendStroke> strokes)
{
    addStrokes(strokes);
}

void TrendChart::addStrokes(std::span<const TrendStroke> strokes)
{
    for (const TrendStroke& s : strokes) {
        const auto id = static_cast<std::int32_t>(m_x.size());
        m_x.push_back(s.x);
        if (std::isfinite(s.x)) {
            m_xMin = m_hasX ? std::min(m_xMin, s.x) : s.x;
            m_xMax = m_hasX ? std::max(m_xMax, s.x) : s.x;
            m_hasX = true;
        }
        std::uint8_t flags = 0;
        for (std::size_t c = 0; c < TrendChannels; ++c) {
            // An infinite peak is no measurement either; it would stretch the axis without end.
            const float v = std::isfinite(s.peak[c]) ? s.peak[c] : std::numeric_limits<float>::quiet_NaN();
            m_peak[c].push_back(v);
            if (!std::isnan(v)) {
                m_yMin[c] = m_hasY[c] ? std::min(m_yMin[c], v) : v;
                m_yMax[c] = m_hasY[c] ? std::max(m_yMax[c], v) : v;
                m_hasY[c] = true;
            }
            if (s.outOfLimits[c])
                flags = static_cast<std::uint8_t>(flags | (1u << c));
        }
        m_outFlags.push_back(flags);
        if (flags)
            m_outIds.push_back(id);
    }
    viewChanged();
}

void TrendChart::setLimits(const TrendLimits& limits)
{
    m_limits = limits;
    viewChanged();
}

void TrendChart::setChannelVisible(int channel, bool visible)
{
    if (channel < 0 || channel >= TrendChannels)
        return;
    m_visible[static_cast<std::size_t>(channel)] = visible;
    viewChanged();
}

bool TrendChart::isChannelVisible(int channel) const
{
    return channel >= 0 && channel < TrendChannels && isShown(channel);
}

void TrendChart::setSelected(std::vector<int> ids)
{
    m_selected.assign(ids.begin(), ids.end());
    update();
}

void TrendChart::setStrokeName(std::function<QString(int id)> name)
{
    m_strokeName = std::move(name);
}

QString TrendChart::strokeText(int id) const
{
    return m_strokeName ? m_strokeName(id) : QStringLiteral("Stroke %1").arg(id);
}

void TrendChart::viewChanged()
{
    m_indexValid = false;
    update();
}

void TrendChart::zoomTo(const TrendRange& range)
{
    TrendRange r = range;
    if (r.x0 > r.x1)
        std::swap(r.x0, r.x1);
    if (r.y0 > r.y1)
        std::swap(r.y0, r.y1);
    if (!(r.x1 > r.x0) || !(r.y1 > r.y0) || !std::isfinite(r.x1 - r.x0) || !std::isfinite(r.y1 - r.y0))
        return;
    m_zoom = r;
    viewChanged();
}

void TrendChart::resetZoom()
{
    m_zoom.reset();
    viewChanged();
}

TrendRange TrendChart::visibleRange() const
{
    return m_zoom ? *m_zoom : fullRange();
}

TrendRange TrendChart::fullRange() const
{
    TrendRange r;
    if (m_hasX) {
        r.x0 = m_xMin;
        r.x1 = m_xMax;
        // One stroke, or all at one x: give them a range to stand in.
        if (!(r.x1 > r.x0)) {
            r.x0 -= 1;
            r.x1 += 1;
        }
    }
    bool any = false;
    double lo = 0, hi = 0;
    auto take = [&](double v) {
        lo = any ? std::min(lo, v) : v;
        hi = any ? std::max(hi, v) : v;
        any = true;
    };
    for (int c = 0; c < TrendChannels; ++c) {
        if (!isShown(c))
            continue;
        const auto i = static_cast<std::size_t>(c);
        if (m_hasY[i]) {
            take(m_yMin[i]);
            take(m_yMax[i]);
        }
        for (const auto* limit : {&m_limits.target[i], &m_limits.low[i], &m_limits.high[i]}) {
            if (*limit && std::isfinite(**limit))
                take(**limit);
        }
    }
    if (any) {
        const double margin = (hi - lo) * YMargin;
        r.y0 = lo - margin;
        r.y1 = hi + margin;
        if (!(r.y1 > r.y0)) {
            r.y0 = lo - 1;
            r.y1 = hi + 1;
        }
    }
    return r;
}

QRect TrendChart::plotArea() const
{
    return layoutTrend(rect(), QFontMetricsF(font(), this), visibleRange(), m_axis).plot;
}

int TrendChart::strokeAt(QPoint pos) const
{
    const TrendRange range = visibleRange();
    const QRect plot = plotArea();
    if (!m_indexValid) {
        m_index = TrendColumnIndex(TrendColumns::assign(m_x, range.x0, range.x1, plot.width()));
        m_indexValid = true;
    }
    // Exactly PickRadius away still counts.
    const double reach = PickRadius * PickRadius * (1 + 1e-9);
    const QRectF visible = QRectF(plot).adjusted(-0.5, -0.5, 0.5, 0.5);
    const int column = static_cast<int>(std::floor(pos.x() - plot.left()));
    const int r = static_cast<int>(std::ceil(PickRadius));
    // The loads within reach of the mouse, a pixel wider: a cheap test that
    // spares the exact distance for most strokes of a crowded column.
    const double perPixel = (range.y1 - range.y0) / plot.height();
    const double atMouse = range.y0 + (plot.top() + plot.height() - pos.y()) * perPixel;
    const double lowest = atMouse - (PickRadius + 1) * perPixel;
    const double highest = atMouse + (PickRadius + 1) * perPixel;
    int best = -1;
    double bestDistance = reach;
    // Of equally near points the first found wins: the leftmost column's lowest id.
    for (const std::int32_t id : m_index.strokes(column - r, column + r)) {
        const auto i = static_cast<std::size_t>(id);
        for (int c = 0; c < TrendChannels; ++c) {
            const float v = m_peak[static_cast<std::size_t>(c)][i];
            // NaN fails the window too.
            if (!(v >= lowest && v <= highest) || !isShown(c))
                continue;
            const QPointF p = trendPixel(plot, range, m_x[i], v);
            if (!visible.contains(p))
                continue;
            const double dx = p.x() - pos.x(), dy = p.y() - pos.y();
            const double d = dx * dx + dy * dy;
            if (d < bestDistance) {
                bestDistance = d;
                best = id;
            }
        }
    }
    return best;
}

void TrendChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    renderChart(painter, rect());
}

void TrendChart::resizeEvent(QResizeEvent* event)
{
    m_indexValid = false;
    QWidget::resizeEvent(event);
}

void TrendChart::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        m_pressPos = event->position().toPoint();
        m_band->setGeometry(QRect(m_pressPos, QSize()));
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton) {
        event->accept(); // the release shows everything again
        return;
    }
    QWidget::mousePressEvent(event);
}

void TrendChart::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (m_pressed) {
        const QPoint d = pos - m_pressPos;
        if (std::abs(d.x()) >= MinDragPixels || std::abs(d.y()) >= MinDragPixels) {
            m_band->setGeometry(QRect(m_pressPos, pos).normalized() & plotArea());
            m_band->show();
        }
        event->accept();
        return;
    }
    const int id = strokeAt(pos);
    if (id < 0)
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPosition().toPoint(), strokeText(id), this);
    event->accept();
}

void TrendChart::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_pressed && event->button() == Qt::LeftButton) {
        m_pressed = false;
        m_band->hide();
        const QPoint end = event->position().toPoint();
        const QPoint d = end - m_pressPos;
        if (std::abs(d.x()) < MinDragPixels && std::abs(d.y()) < MinDragPixels) {
            const int id = strokeAt(m_pressPos);
            if (id >= 0)
                emit strokeClicked(id);
        } else if (std::abs(d.x()) >= MinDragPixels && std::abs(d.y()) >= MinDragPixels) {
            if (d.x() < 0 && d.y() < 0) {
                resetZoom();
            } else {
                const QRect plot = plotArea();
                const QRectF r = QRectF(QPointF(m_pressPos), QPointF(end)).normalized() & QRectF(plot);
                const TrendRange now = visibleRange();
                auto xAt = [&](double px) { return now.x0 + (px - plot.left()) / plot.width() * (now.x1 - now.x0); };
                auto yAt = [&](double py) {
                    return now.y0 + (plot.top() + plot.height() - py) / plot.height() * (now.y1 - now.y0);
                };
                if (!r.isEmpty())
                    zoomTo({xAt(r.left()), xAt(r.right()), yAt(r.bottom()), yAt(r.top())});
            }
        }
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton) {
        resetZoom();
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void TrendChart::leaveEvent(QEvent* event)
{
    QToolTip::hideText();
    QWidget::leaveEvent(event);
}
