#pragma once

#include "analysis/StrokeSummary.h"

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>

// One channel's recorded peaks over a set of strokes. Peaks that are no
// number are left out of every figure; count says how many were used.
struct ChannelStats
{
    std::size_t count = 0;
    double mean = 0;
    double stdDev = 0; // sample standard deviation (n − 1); 0 for fewer than two
    double min = 0;
    double max = 0;
    std::size_t above = 0; // HIGH
    std::size_t below = 0; // LOW
    // The limits every stroke of the set shares, when they all share the same
    // two; Cpk = min(high − mean, mean − low) / (3 × stdDev), only with shared
    // limits, at least two peaks and a spread above 0.
    std::optional<Limits> sharedLimits;
    std::optional<double> cpk;
};

using SetStats = std::array<ChannelStats, StrokeSummary::ChannelCount>;

// Adds strokes one at a time, so that a scan can keep its figures current
// without going over the whole set again (Welford's update: no loss of
// precision on a hundred thousand similar values).
class StatsAccumulator
{
public:
    void add(const StrokeSummary& stroke);
    SetStats result() const;

private:
    struct Channel
    {
        std::size_t count = 0;
        double mean = 0;
        double m2 = 0;
        double min = 0;
        double max = 0;
        std::size_t above = 0;
        std::size_t below = 0;
        std::size_t strokes = 0;      // strokes seen, also those without a peak
        std::optional<Limits> limits; // of the first stroke
        bool limitsShared = true;
    };
    std::array<Channel, StrokeSummary::ChannelCount> m_channels{};
};

SetStats setStats(std::span<const StrokeSummary> strokes);

// The figures as an aligned plain-text table, one row per channel, for a
// terminal: "Channel  Count  Mean  StdDev  Min  Max  High  Low  Cpk".
std::string statsTableText(const SetStats& stats);
