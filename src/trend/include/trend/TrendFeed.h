#pragma once

#include "analysis/ChannelStats.h"
#include "analysis/StrokeSummary.h"
#include "trendchart/TrendChart.h"

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

// The strokes a trend chart shows and which stroke each of its points is: the
// chart numbers its points from 0 in the order they were given, the window
// knows strokes by their index in the table's list.
struct TrendFeed
{
    std::vector<TrendStroke> points;
    std::vector<std::size_t> strokes; // of each point, by the chart's id
    std::size_t withoutTime = 0;      // strokes left out of a time axis

    // Adds the strokes which (indices into all) that the axis can place: on a
    // time axis, a stroke without a recorded time has no place and is counted
    // instead. Returns how many points were added at the end.
    std::size_t add(std::span<const StrokeSummary> all, std::span<const std::size_t> which, TrendAxis axis);
};

// A stroke as a point of the chart; none on a time axis without a time.
std::optional<TrendStroke> trendPoint(const StrokeSummary& stroke, TrendAxis axis);

// What a set of strokes comes to, kept current stroke by stroke: the
// statistics, and the target every stroke shares on a channel, so that the
// chart draws a channel's target and limits only when they hold for every
// stroke it shows.
class TrendFigures
{
public:
    void add(const StrokeSummary& stroke);
    SetStats stats() const { return m_stats.result(); }
    TrendLimits limits() const;

private:
    StatsAccumulator m_stats;
    std::size_t m_count = 0;
    std::array<std::optional<double>, StrokeSummary::ChannelCount> m_target{};
    std::array<bool, StrokeSummary::ChannelCount> m_targetShared{true, true, true, true};
};
