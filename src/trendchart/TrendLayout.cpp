// The axes of the trend chart: ticks on round values, labels that fit, and
// margins wide enough that no label is cut off at the smallest size.
#include "TrendLayout.h"

#include "chart/AxisLabels.h"

#include <QDateTime>
#include <QFontDatabase>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr double TickLength = 4;
constexpr double LabelGap = 3;
// Loads are shown to a thousandth at most, like the signature display's axis.
constexpr double MinLoadStep = 0.001;
// A stroke count does not fall between whole strokes.
constexpr double MinCountStep = 1;

// Round steps of a time axis, in seconds, up to a week; longer spans count whole days.
constexpr std::array<double, 14> TimeSteps = {60,   120,   300,   600,   900,   1800,   3600,
                                              7200, 10800, 21600, 43200, 86400, 172800, 604800};
constexpr double Day = 86400;

double timeStep(double span, int maxIntervals)
{
    const double raw = span / std::max(maxIntervals, 1);
    for (const double s : TimeSteps) {
        if (s >= raw)
            return s;
    }
    return niceStep(raw / Day, 1, 1) * Day;
}

QString timeLabel(double seconds)
{
    // Civil time as stored: no zone is applied.
    return QDateTime::fromSecsSinceEpoch(static_cast<qint64>(std::llround(seconds)), Qt::UTC)
        .toString(QStringLiteral("yyyy-MM-dd hh:mm"));
}

void labelValues(const QList<double>& ticks, double step, QStringList& labels)
{
    const NumberFormat format{decimalsFor(step, 3), true};
    for (const double t : ticks)
        labels.append(formatAxisNumber(t, format));
}

} // namespace

QFont trendFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(11);
    return font;
}

TrendLayout layoutTrend(const QRect& target, const QFontMetricsF& metrics, const TrendRange& range, TrendAxis axis)
{
    TrendLayout l;
    const double text = metrics.height();
    l.xTitle = axis == TrendAxis::Timestamp ? QStringLiteral("Time") : QStringLiteral("Stroke count");

    // Rows from the top: the legend; from the bottom: tick labels and the axis title.
    const double top = l.pad + text + l.pad;
    const double bottom = TickLength + LabelGap + text + LabelGap + text + l.pad;
    const double plotHeight = std::max(1.0, target.height() - top - bottom);

    // The left axis first: its labels decide how wide the left margin is.
    const int yIntervals = std::max(1, static_cast<int>(plotHeight / (2.5 * text)));
    const double yStep = niceStep(range.y1 - range.y0, yIntervals, MinLoadStep);
    l.yTicks = ticksWithin(range.y0, range.y1, yStep);
    labelValues(l.yTicks, yStep, l.yLabels);
    double labelWidth = 0;
    for (const QString& s : l.yLabels)
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(s));
    const double left = l.pad + text + LabelGap + labelWidth + LabelGap + TickLength;
    // Room on the right for half a bottom label, so the last one is not cut off.
    const double xLabelWidth = axis == TrendAxis::Timestamp
                                   ? metrics.horizontalAdvance(QStringLiteral("0000-00-00 00:00"))
                                   : metrics.horizontalAdvance(QStringLiteral("000,000"));
    const double right = l.pad + xLabelWidth / 2;
    const double plotWidth = std::max(1.0, target.width() - left - right);
    l.plot = QRect(target.left() + static_cast<int>(std::ceil(left)), target.top() + static_cast<int>(std::ceil(top)),
                   std::max(1, static_cast<int>(plotWidth)), std::max(1, static_cast<int>(plotHeight)));

    const int xIntervals = std::max(1, static_cast<int>(l.plot.width() / (xLabelWidth * 1.25)));
    const double span = range.x1 - range.x0;
    if (axis == TrendAxis::Timestamp) {
        const double step = timeStep(span, xIntervals);
        l.xTicks = ticksWithin(range.x0, range.x1, step);
        for (const double t : l.xTicks)
            l.xLabels.append(timeLabel(t));
    } else {
        const double step = niceStep(span, xIntervals, MinCountStep);
        l.xTicks = ticksWithin(range.x0, range.x1, step);
        labelValues(l.xTicks, step, l.xLabels);
    }
    return l;
}

QPointF trendPixel(const QRect& plot, const TrendRange& range, double x, double y)
{
    // Far enough outside for any line to leave the plot at its true angle
    // for any practical purpose, near enough for every paint engine.
    constexpr double Far = 1e5;
    const double px = plot.left() + (x - range.x0) / (range.x1 - range.x0) * plot.width();
    const double py = plot.top() + plot.height() - (y - range.y0) / (range.y1 - range.y0) * plot.height();
    return {std::clamp(px, plot.left() - Far, plot.right() + Far),
            std::clamp(py, plot.top() - Far, plot.bottom() + Far)};
}
