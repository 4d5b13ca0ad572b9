#pragma once

#include "trendchart/TrendChart.h"

#include <QFontMetricsF>
#include <QList>
#include <QPointF>
#include <QRect>
#include <QStringList>

// Where the parts of a trend chart go in a rectangle, and what its axes say.
// The painting and the mouse both place points through this, so a click lands
// on the stroke that was drawn there.
struct TrendLayout
{
    QRect plot;
    double pad = 6;
    QList<double> xTicks, yTicks;
    QStringList xLabels, yLabels;
    QString xTitle;
};

// The font every text of the chart is set in, at a pixel size: the same on
// screen, in a bitmap, a drawing and a page.
QFont trendFont();

TrendLayout layoutTrend(const QRect& target, const QFontMetricsF& metrics, const TrendRange& range, TrendAxis axis);

// The point of (x, y) in the plot; far-off values are held a little outside
// it, where the clip hides them, so no paint engine meets absurd coordinates.
QPointF trendPixel(const QRect& plot, const TrendRange& range, double x, double y);
