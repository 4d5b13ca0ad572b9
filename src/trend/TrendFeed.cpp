#include "trend/TrendFeed.h"

#include <cmath>

std::optional<TrendStroke> trendPoint(const StrokeSummary& stroke, TrendAxis axis)
{
    TrendStroke point;
    if (axis == TrendAxis::Timestamp) {
        if (!stroke.timestamp)
            return std::nullopt;
        point.x = static_cast<double>(*stroke.timestamp);
    } else {
        point.x = stroke.strokeCount;
    }
    for (std::size_t c = 0; c < point.peak.size(); ++c) {
        const ChannelSummary& channel = stroke.channels[c];
        point.peak[c] = channel.peak;
        point.outOfLimits[c] = channel.status == LimitStatus::High || channel.status == LimitStatus::Low;
    }
    return point;
}

std::size_t TrendFeed::add(std::span<const StrokeSummary> all, std::span<const std::size_t> which, TrendAxis axis)
{
    const std::size_t before = points.size();
    points.reserve(before + which.size());
    strokes.reserve(before + which.size());
    for (const std::size_t i : which) {
        if (const std::optional<TrendStroke> point = trendPoint(all[i], axis)) {
            points.push_back(*point);
            strokes.push_back(i);
        } else {
            ++withoutTime;
        }
    }
    return points.size() - before;
}

void TrendFigures::add(const StrokeSummary& stroke)
{
    m_stats.add(stroke);
    for (std::size_t c = 0; c < m_target.size(); ++c) {
        const ChannelSummary& channel = stroke.channels[c];
        // Without limits a stroke has no target to draw either.
        const std::optional<double> target =
            channel.limits ? std::optional<double>(channel.target) : std::optional<double>();
        if (m_count == 0)
            m_target[c] = target;
        else if (m_target[c] != target)
            m_targetShared[c] = false;
    }
    ++m_count;
}

TrendLimits TrendFigures::limits() const
{
    TrendLimits limits;
    const SetStats stats = m_stats.result();
    for (std::size_t c = 0; c < m_target.size(); ++c) {
        if (const std::optional<Limits>& shared = stats[c].sharedLimits) {
            limits.low[c] = shared->low;
            limits.high[c] = shared->high;
            if (m_targetShared[c])
                limits.target[c] = m_target[c];
        }
    }
    return limits;
}
