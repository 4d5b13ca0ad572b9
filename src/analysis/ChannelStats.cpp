#include "analysis/ChannelStats.h"

#include "analysis/SummaryNumber.h"

#include <algorithm>
#include <cmath>
#include <vector>

void StatsAccumulator::add(const StrokeSummary& stroke)
{
    for (std::size_t c = 0; c < m_channels.size(); ++c) {
        const ChannelSummary& in = stroke.channels[c];
        Channel& ch = m_channels[c];
        if (ch.strokes++ == 0)
            ch.limits = in.limits;
        else if (ch.limitsShared && ch.limits != in.limits)
            ch.limitsShared = false;
        ch.above += in.status == LimitStatus::High;
        ch.below += in.status == LimitStatus::Low;
        if (std::isnan(in.peak))
            continue;
        const double x = in.peak;
        if (ch.count == 0) {
            ch.min = x;
            ch.max = x;
        } else {
            ch.min = std::min(ch.min, x);
            ch.max = std::max(ch.max, x);
        }
        ++ch.count;
        const double delta = x - ch.mean;
        ch.mean += delta / static_cast<double>(ch.count);
        ch.m2 += delta * (x - ch.mean);
    }
}

SetStats StatsAccumulator::result() const
{
    SetStats out{};
    for (std::size_t c = 0; c < m_channels.size(); ++c) {
        const Channel& ch = m_channels[c];
        ChannelStats& s = out[c];
        s.count = ch.count;
        s.mean = ch.mean;
        s.stdDev = ch.count > 1 ? std::sqrt(ch.m2 / static_cast<double>(ch.count - 1)) : 0.0;
        s.min = ch.min;
        s.max = ch.max;
        s.above = ch.above;
        s.below = ch.below;
        if (ch.strokes > 0 && ch.limitsShared && ch.limits)
            s.sharedLimits = ch.limits;
        if (s.sharedLimits && s.count > 1 && s.stdDev > 0)
            s.cpk = std::min(s.sharedLimits->high - s.mean, s.mean - s.sharedLimits->low) / (3 * s.stdDev);
    }
    return out;
}

SetStats setStats(std::span<const StrokeSummary> strokes)
{
    StatsAccumulator acc;
    for (const StrokeSummary& s : strokes)
        acc.add(s);
    return acc.result();
}

std::string statsTableText(const SetStats& stats)
{
    using Row = std::vector<std::string>;
    std::vector<Row> rows{{"Channel", "Count", "Mean", "StdDev", "Min", "Max", "High", "Low", "Cpk"}};
    for (std::size_t c = 0; c < stats.size(); ++c) {
        const ChannelStats& s = stats[c];
        const bool any = s.count > 0;
        rows.push_back({"Ch" + std::to_string(c + 1), std::to_string(s.count), any ? summaryNumber(s.mean) : "",
                        any ? summaryNumber(s.stdDev) : "", any ? summaryNumber(s.min) : "",
                        any ? summaryNumber(s.max) : "", std::to_string(s.above), std::to_string(s.below),
                        s.cpk ? summaryNumber(*s.cpk) : ""});
    }
    std::vector<std::size_t> width(rows.front().size(), 0);
    for (const Row& row : rows)
        for (std::size_t i = 0; i < row.size(); ++i)
            width[i] = std::max(width[i], row[i].size());
    std::string text;
    for (const Row& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            // The channel name reads from the left, figures line up on the right.
            const std::string pad(width[i] - row[i].size(), ' ');
            line += i == 0 ? row[i] + pad : "  " + pad + row[i];
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        text += line + '\n';
    }
    return text;
}
