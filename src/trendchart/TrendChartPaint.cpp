// Drawing the trend chart into any paint device: the widget, a bitmap, an SVG
// drawing or a PDF page all get the same picture from renderChart.
#include "TrendLayout.h"
#include "trendchart/TrendChart.h"

#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

const QColor Background(255, 255, 255);
const QColor AxisColour(64, 64, 64);
const QColor GridColour(224, 224, 224);
const QColor TextColour(0, 0, 0);
const QColor OutOfLimitsEdge(220, 0, 0);
const QColor SelectedEdge(0, 0, 0);
const QColor SelectedHalo(255, 255, 255);

constexpr double PointRadius = 2;
constexpr double OutOfLimitsRadius = 3.5;
constexpr double SelectedRadius = 5.5;

// Markers at the plot's edge are drawn whole: their centre is inside.
QRectF markerClip(const QRect& plot)
{
    return QRectF(plot).adjusted(-SelectedRadius - 2, -SelectedRadius - 2, SelectedRadius + 2, SelectedRadius + 2);
}

// One kind of marker, drawn the same way at every point. A bitmap device
// gets it stamped from a small image drawn once: the ring of thousands of
// markers would otherwise be stroked anew each time, most of a full repaint's
// cost. Drawings and pages, and any painter that scales, get real circles.
class Marker
{
public:
    Marker(QPainter& painter, double radius, const QPen& pen, const QBrush& brush, const QPen& halo = Qt::NoPen)
        : m_painter(painter), m_radius(radius), m_pen(pen), m_brush(brush), m_halo(halo)
    {
        const QPaintEngine* engine = painter.paintEngine();
        if (!engine || engine->type() != QPaintEngine::Raster || painter.transform().type() > QTransform::TxTranslate)
            return;
        const qreal ratio = painter.device()->devicePixelRatioF();
        const int side = static_cast<int>(std::ceil(2 * (radius + 3)));
        m_stamp = QImage(QSize(side, side) * ratio, QImage::Format_ARGB32_Premultiplied);
        m_stamp.setDevicePixelRatio(ratio);
        m_stamp.fill(Qt::transparent);
        QPainter p(&m_stamp);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p, QPointF(side / 2.0, side / 2.0));
        m_offset = QPointF(side / 2.0, side / 2.0);
    }
    void at(QPointF centre)
    {
        if (m_stamp.isNull())
            draw(m_painter, centre);
        else
            m_painter.drawImage(QPointF(std::round(centre.x() - m_offset.x()), std::round(centre.y() - m_offset.y())),
                                m_stamp);
    }

private:
    void draw(QPainter& p, QPointF centre) const
    {
        if (m_halo.style() != Qt::NoPen) {
            p.setPen(m_halo);
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(centre, m_radius, m_radius);
        }
        p.setPen(m_pen);
        p.setBrush(m_brush);
        p.drawEllipse(centre, m_radius, m_radius);
    }

    QPainter& m_painter;
    double m_radius;
    QPen m_pen;
    QBrush m_brush;
    QPen m_halo;
    QImage m_stamp;
    QPointF m_offset;
};

} // namespace

void TrendChart::renderChart(QPainter& painter, const QRect& target) const
{
    painter.save();
    painter.setFont(font());
    const TrendRange range = visibleRange();
    const TrendLayout l = layoutTrend(target, painter.fontMetrics(), range, m_axis);
    const QRect& plot = l.plot;

    painter.fillRect(target, Background);
    painter.setRenderHint(QPainter::Antialiasing, false);
    paintAxes(painter, target, l, range);
    paintLegend(painter, target, l.pad);

    if (m_x.empty()) {
        painter.drawText(QRectF(plot), Qt::AlignCenter, QStringLiteral("No strokes"));
    } else {
        painter.save();
        painter.setClipRect(plot);
        paintLimits(painter, plot, range);
        paintData(painter, plot, range);
        painter.restore();
        painter.save();
        painter.setClipRect(markerClip(plot));
        paintMarkers(painter, plot, range);
        painter.restore();
    }
    painter.restore();
}

void TrendChart::paintAxes(QPainter& painter, const QRect& target, const TrendLayout& l, const TrendRange& range) const
{
    const QFontMetricsF metrics = painter.fontMetrics();
    const QRect& plot = l.plot;
    const double text = metrics.height();

    // Grid and ticks.
    painter.setPen(QPen(GridColour, 0));
    QList<double> xPix, yPix;
    for (const double t : l.xTicks)
        xPix.append(trendPixel(plot, range, t, range.y0).x());
    for (const double t : l.yTicks)
        yPix.append(trendPixel(plot, range, range.x0, t).y());
    for (const double x : xPix)
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    for (const double y : yPix)
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    painter.setPen(QPen(AxisColour, 0));
    painter.drawRect(plot);
    for (const double x : xPix)
        painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + 4));
    for (const double y : yPix)
        painter.drawLine(QPointF(plot.left() - 4, y), QPointF(plot.left(), y));

    // Labels: the bottom ones are kept inside the target and skipped where
    // they would run into the one before.
    painter.setPen(TextColour);
    const double labelTop = plot.bottom() + 4 + 3;
    double lastRight = target.left() - 1e9;
    for (qsizetype i = 0; i < l.xLabels.size(); ++i) {
        const double w = metrics.horizontalAdvance(l.xLabels[i]);
        double left = std::clamp(xPix[i] - w / 2, double(target.left()), target.right() + 1 - w);
        if (left < lastRight + 8)
            continue;
        painter.drawText(QRectF(left, labelTop, w, text), Qt::AlignCenter, l.xLabels[i]);
        lastRight = left + w;
    }
    for (qsizetype i = 0; i < l.yLabels.size(); ++i) {
        const double w = metrics.horizontalAdvance(l.yLabels[i]);
        painter.drawText(QRectF(plot.left() - 4 - 3 - w, yPix[i] - text / 2, w, text),
                         Qt::AlignRight | Qt::AlignVCenter, l.yLabels[i]);
    }
    painter.drawText(QRectF(plot.left(), labelTop + text + 3, plot.width(), text), Qt::AlignHCenter | Qt::AlignTop,
                     l.xTitle);
    painter.save();
    painter.translate(target.left() + l.pad, plot.center().y());
    painter.rotate(-90);
    const QString yTitle = QStringLiteral("Peak load");
    const double yw = metrics.horizontalAdvance(yTitle);
    painter.drawText(QRectF(-yw / 2, 0, yw, text), Qt::AlignCenter, yTitle);
    painter.restore();
}

void TrendChart::paintLegend(QPainter& painter, const QRect& target, double pad) const
{
    const QFontMetricsF metrics = painter.fontMetrics();
    const double sample = 16;
    const double gap = 10;
    double width = 0;
    for (int c = 0; c < TrendChannels; ++c) {
        if (isShown(c))
            width += sample + 4 + metrics.horizontalAdvance(QStringLiteral("Ch%1").arg(c + 1)) + gap;
    }
    double x = target.right() + 1 - pad - width + gap;
    const double y = target.top() + pad;
    const double h = metrics.height();
    for (int c = 0; c < TrendChannels; ++c) {
        if (!isShown(c))
            continue;
        const QString name = QStringLiteral("Ch%1").arg(c + 1);
        painter.setPen(QPen(channelColour(c), 2));
        painter.drawLine(QPointF(x, y + h / 2), QPointF(x + sample, y + h / 2));
        x += sample + 4;
        const double w = metrics.horizontalAdvance(name);
        painter.setPen(TextColour);
        painter.drawText(QRectF(x, y, w, h), Qt::AlignLeft | Qt::AlignVCenter, name);
        x += w + gap;
    }
}

void TrendChart::paintLimits(QPainter& painter, const QRect& plot, const TrendRange& range) const
{
    for (int c = 0; c < TrendChannels; ++c) {
        if (!isShown(c))
            continue;
        const auto i = static_cast<std::size_t>(c);
        auto line = [&](const std::optional<double>& value, Qt::PenStyle style) {
            if (!value || !std::isfinite(*value))
                return;
            QPen pen(channelColour(c), 1, style);
            painter.setPen(pen);
            const double y = trendPixel(plot, range, range.x0, *value).y();
            painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right() + 1, y));
        };
        line(m_limits.target[i], Qt::DashLine);
        line(m_limits.low[i], Qt::DotLine);
        line(m_limits.high[i], Qt::DotLine);
    }
}

void TrendChart::paintData(QPainter& painter, const QRect& plot, const TrendRange& range) const
{
    const TrendColumns columns = TrendColumns::assign(m_x, range.x0, range.x1, plot.width());
    if (columns.inside >= static_cast<std::size_t>(columns.count)) {
        for (int c = 0; c < TrendChannels; ++c)
            if (isShown(c))
                paintEnvelope(painter, plot, range, columns, c);
        return;
    }
    // Few enough to draw each: a line through them in x order, with markers.
    std::vector<std::int32_t> order;
    order.reserve(columns.inside);
    for (std::size_t i = 0; i < columns.of.size(); ++i) {
        if (columns.of[i] >= 0)
            order.push_back(static_cast<std::int32_t>(i));
    }
    std::stable_sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
        return m_x[static_cast<std::size_t>(a)] < m_x[static_cast<std::size_t>(b)];
    });
    QPolygonF line;
    for (int c = 0; c < TrendChannels; ++c) {
        if (!isShown(c))
            continue;
        const std::vector<float>& y = m_peak[static_cast<std::size_t>(c)];
        const QColor colour = channelColour(c);
        line.clear();
        for (const std::int32_t id : order) {
            const auto i = static_cast<std::size_t>(id);
            if (!std::isnan(y[i]))
                line.append(trendPixel(plot, range, m_x[i], y[i]));
        }
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(colour, 1));
        painter.drawPolyline(line);
        Marker point(painter, PointRadius, Qt::NoPen, colour);
        for (const QPointF& p : line)
            point.at(p);
        painter.setRenderHint(QPainter::Antialiasing, false);
    }
}

void TrendChart::paintEnvelope(QPainter& painter, const QRect& plot, const TrendRange& range,
                               const TrendColumns& columns, int channel) const
{
    // One column's lowest to highest value as a vertical run, entered at its
    // leftmost stroke's value and left at its rightmost one's, so the line
    // between columns joins neighbouring strokes.
    const TrendEnvelope e = TrendEnvelope::of(columns, m_x, m_peak[static_cast<std::size_t>(channel)]);
    QPolygonF line;
    line.reserve(4 * e.count());
    auto yPixel = [&](float v) { return trendPixel(plot, range, range.x0, v).y(); };
    for (int col = 0; col < e.count(); ++col) {
        if (!e.has(col))
            continue;
        const auto k = static_cast<std::size_t>(col);
        const double x = plot.left() + col + 0.5;
        line.append({x, yPixel(e.first[k])});
        line.append({x, yPixel(e.min[k])});
        line.append({x, yPixel(e.max[k])});
        line.append({x, yPixel(e.last[k])});
    }
    painter.setPen(QPen(channelColour(channel), 1));
    painter.drawPolyline(line);
}

void TrendChart::paintMarkers(QPainter& painter, const QRect& plot, const TrendRange& range) const
{
    const auto n = m_x.size();
    painter.setRenderHint(QPainter::Antialiasing, true);
    auto visibleAt = [&](std::size_t i, int c, QPointF& at) {
        const float v = m_peak[static_cast<std::size_t>(c)][i];
        if (!isShown(c) || std::isnan(v) || !(m_x[i] >= range.x0 && m_x[i] <= range.x1))
            return false;
        at = trendPixel(plot, range, m_x[i], v);
        return v >= range.y0 && v <= range.y1;
    };
    // Out of limits: the channel's colour in a red ring, over every line.
    for (int c = 0; c < TrendChannels; ++c) {
        Marker marker(painter, OutOfLimitsRadius, QPen(OutOfLimitsEdge, 1.5), channelColour(c));
        for (const std::int32_t id : m_outIds) {
            const auto i = static_cast<std::size_t>(id);
            QPointF at;
            if ((m_outFlags[i] & (1u << c)) && visibleAt(i, c, at))
                marker.at(at);
        }
    }
    // Selected: larger, in a black ring with a white halo, over everything.
    std::array<std::optional<Marker>, TrendChannels> selected;
    for (const std::int32_t id : m_selected) {
        if (id < 0 || static_cast<std::size_t>(id) >= n)
            continue;
        const auto i = static_cast<std::size_t>(id);
        for (int c = 0; c < TrendChannels; ++c) {
            QPointF at;
            if (!visibleAt(i, c, at))
                continue;
            auto& marker = selected[static_cast<std::size_t>(c)];
            if (!marker)
                marker.emplace(painter, SelectedRadius, QPen(SelectedEdge, 2), channelColour(c), QPen(SelectedHalo, 4));
            marker->at(at);
        }
    }
}
