#include "chart/AxisLabels.h"

#include <QCategoryAxis>
#include <QLocale>

#include <cmath>

namespace {

// Stops a degenerate range (a step far below the span's precision) from
// producing an endless run of labels.
constexpr int MaxTicks = 500;

} // namespace

QString formatAxisNumber(double value, NumberFormat format)
{
    if (!std::isfinite(value))
        return {};
    // The test and offscreen locale is "C", which has no grouping: the format
    // asks for thousands separators, so the locale is fixed here.
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    QString text = english.toString(value, 'f', format.maxDecimals);
    if (format.maxDecimals > 0) {
        const qsizetype point = text.indexOf(QLatin1Char('.'));
        if (point >= 0) {
            qsizetype end = text.size();
            while (end > point + 1 && text.at(end - 1) == QLatin1Char('0'))
                --end;
            if (end == point + 1)
                end = point;
            text.truncate(end);
        }
    }
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    if (!format.leadingZero) {
        if (text == QLatin1String("0"))
            text.clear();
        else if (text.startsWith(QLatin1String("0.")))
            text.remove(0, 1);
        else if (text.startsWith(QLatin1String("-0.")))
            text.remove(1, 1);
    }
    return text;
}

double niceStep(double span, int maxIntervals, double minStep)
{
    const double raw = span / std::max(maxIntervals, 1);
    if (!(raw > minStep) || !std::isfinite(raw))
        return minStep;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0, 10.0}) {
        // A hair of tolerance so that 0.3 / 3 still counts as 0.1.
        if (m * magnitude >= raw * (1 - 1e-9))
            return std::max(m * magnitude, minStep);
    }
    return std::max(10 * magnitude, minStep);
}

AxisScale outwardScale(double lo, double hi, int maxIntervals, double minStep)
{
    if (lo > hi)
        std::swap(lo, hi);
    AxisScale s;
    s.step = niceStep(hi - lo, maxIntervals, minStep);
    s.lo = std::floor(lo / s.step + 1e-9) * s.step;
    s.hi = std::ceil(hi / s.step - 1e-9) * s.step;
    if (s.hi - s.lo < s.step / 2) {
        s.lo -= s.step;
        s.hi += s.step;
    }
    return s;
}

QList<double> ticksWithin(double lo, double hi, double step)
{
    QList<double> ticks;
    if (!(step > 0) || !std::isfinite(lo) || !std::isfinite(hi) || (hi - lo) / step > MaxTicks)
        return ticks;
    const double eps = step * 1e-9;
    for (double k = std::ceil((lo - eps) / step); k * step <= hi + eps; k += 1)
        ticks.append(k * step);
    return ticks;
}

int decimalsFor(double step, int maxDecimals)
{
    int decimals = 0;
    while (decimals < maxDecimals && std::abs(step - std::round(step)) > step * 1e-6) {
        step *= 10;
        ++decimals;
    }
    return decimals;
}

void labelTicks(QCategoryAxis* axis, double step, NumberFormat format)
{
    // Remove from the end: each removal re-chains only the categories after it.
    const QStringList old = axis->categoriesLabels();
    for (qsizetype i = old.size() - 1; i >= 0; --i)
        axis->remove(old.at(i));

    format.maxDecimals = decimalsFor(step, format.maxDecimals);
    const QList<double> ticks = ticksWithin(axis->min(), axis->max(), step);
    // A label sits on the end value of its category; the first category starts
    // one step before the first tick, outside the range, so that tick is
    // labelled too.
    axis->setStartValue(ticks.isEmpty() ? axis->min() : ticks.first() - step);
    for (const double t : ticks)
        axis->append(formatAxisNumber(t, format), t);
}
