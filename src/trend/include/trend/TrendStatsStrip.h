#pragma once

#include "analysis/ChannelStats.h"

#include <QWidget>

#include <array>

class QLabel;

// The statistics of the strokes shown, one row per channel: count, mean,
// standard deviation, lowest and highest peak, how many were above and below
// their limits, and Cpk where the strokes share their limits.
class TrendStatsStrip : public QWidget
{
    Q_OBJECT
public:
    static constexpr int FigureCount = 8; // Count, Mean, SD, Min, Max, Above, Below, Cpk

    explicit TrendStatsStrip(QWidget* parent = nullptr);

    void setStats(const SetStats& stats);
    // The text shown for figure (0..FigureCount-1) of channel (0..3).
    QString figureText(int channel, int figure) const;

private:
    std::array<std::array<QLabel*, FigureCount>, StrokeSummary::ChannelCount> m_figures{};
};
