#pragma once

#include <QList>
#include <QString>

class QCategoryAxis;

// Number formats of the chart's axes, always with English grouping: the
// labels must read the same whatever locale the program runs in.
struct NumberFormat
{
    int maxDecimals = 1;     // decimals shown at most; trailing zeros are dropped
    bool leadingZero = true; // false: 0.5 shows as ".5" and 0 as an empty text

    // "#,##0.#": 1,234.6 and 90.
    static constexpr NumberFormat grouped1() { return {1, true}; }
    // "#,##0.###": up to three decimals.
    static constexpr NumberFormat grouped3() { return {3, true}; }
    // "#,###.###": up to three decimals, no digit forced before the point.
    static constexpr NumberFormat sparse3() { return {3, false}; }
};

QString formatAxisNumber(double value, NumberFormat format);

// The smallest step of the 1, 2, 5 series (times a power of ten) that splits
// span into at most maxIntervals parts, and never below minStep.
double niceStep(double span, int maxIntervals, double minStep);

// [lo, hi] widened outward to whole multiples of step; a range that rounds to
// nothing gets one step on either side so a flat curve sits in the middle.
struct AxisScale
{
    double lo = 0;
    double hi = 1;
    double step = 1;
};
AxisScale outwardScale(double lo, double hi, int maxIntervals, double minStep);

// Multiples of step inside [lo, hi] (ends included), at most a few hundred.
QList<double> ticksWithin(double lo, double hi, double step);

// Decimals a step needs to show exactly (0.25 needs 2), capped at maxDecimals.
int decimalsFor(double step, int maxDecimals);

// Puts one label per tick on a category axis, each on its value, formatted
// with format. The axis range is left as it is.
void labelTicks(QCategoryAxis* axis, double step, NumberFormat format);
