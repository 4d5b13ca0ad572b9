#include "analysis/ChannelStats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <vector>

namespace {

StrokeSummary stroke(std::array<float, 4> peaks, std::optional<Limits> limits)
{
    StrokeSummary s;
    for (std::size_t c = 0; c < 4; ++c) {
        s.channels[c].peak = peaks[c];
        s.channels[c].limits = limits;
        s.channels[c].status = limitStatus(peaks[c], limits);
    }
    return s;
}

TEST(ChannelStats, AgreeWithATwoPassComputation)
{
    // Large, close values: a one-pass sum of squares would lose the spread.
    std::vector<StrokeSummary> set;
    std::vector<double> values;
    const Limits limits{100000.0, 100010.0};
    for (int i = 0; i < 1000; ++i) {
        const float v = 100000.0f + float((i * 7919) % 101) / 16.0f; // exact in float
        values.push_back(v);
        set.push_back(stroke({v, 1.0f, 2.0f, 3.0f}, limits));
    }
    double sum = 0;
    for (double v : values)
        sum += v;
    const double mean = sum / double(values.size());
    double sq = 0;
    for (double v : values)
        sq += (v - mean) * (v - mean);
    const double sd = std::sqrt(sq / double(values.size() - 1));

    const SetStats stats = setStats(set);
    const ChannelStats& ch = stats[0];
    EXPECT_EQ(ch.count, 1000u);
    EXPECT_NEAR(ch.mean, mean, 1e-9);
    EXPECT_NEAR(ch.stdDev, sd, 1e-9);
    EXPECT_EQ(ch.min, 100000.0);
    EXPECT_EQ(ch.max, 100000.0 + 100.0 / 16);
    EXPECT_EQ(ch.below, 0u);
    EXPECT_EQ(ch.above, 0u);
    ASSERT_TRUE(ch.cpk);
    EXPECT_NEAR(*ch.cpk, std::min(limits.high - mean, mean - limits.low) / (3 * sd), 1e-9);
    // A constant channel has no spread, so no Cpk (not infinity).
    EXPECT_EQ(stats[1].stdDev, 0.0);
    EXPECT_FALSE(stats[1].cpk);
}

TEST(ChannelStats, CountsOutOfLimitsAndKeepsCpkToSharedLimits)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<StrokeSummary> set{stroke({50, 50, 50, 50}, Limits{40, 60}), stroke({61, 61, 61, 61}, Limits{40, 60}),
                                   stroke({39, 39, 39, 39}, Limits{40, 60}), stroke({nan, 45, 45, 45}, Limits{40, 60})};
    set[1].channels[2].limits = Limits{40, 70}; // one stroke of channel 3 has other limits
    set[1].channels[3].limits.reset();          // and one of channel 4 none at all
    const SetStats stats = setStats(set);
    EXPECT_EQ(stats[0].count, 3u); // the NaN peak is left out...
    EXPECT_DOUBLE_EQ(stats[0].mean, 50.0);
    EXPECT_EQ(stats[0].above, 1u);
    EXPECT_EQ(stats[0].below, 1u);
    EXPECT_TRUE(stats[0].cpk); // ...and its limits still count as shared
    EXPECT_EQ(stats[1].count, 4u);
    ASSERT_TRUE(stats[1].sharedLimits);
    EXPECT_FALSE(stats[2].sharedLimits);
    EXPECT_FALSE(stats[2].cpk);
    EXPECT_FALSE(stats[3].sharedLimits);
    EXPECT_FALSE(stats[3].cpk);

    // One stroke: no spread, no Cpk; an empty set: nothing at all.
    EXPECT_FALSE(setStats(std::span(set).first(1))[0].cpk);
    const SetStats none = setStats({});
    EXPECT_EQ(none[0].count, 0u);
    EXPECT_FALSE(none[0].sharedLimits);
}

TEST(ChannelStats, TableLinesUpItsColumns)
{
    std::vector<StrokeSummary> set{stroke({50, 1234.5f, 5, 5}, Limits{40, 60}),
                                   stroke({52, 1234.5f, 5, 5}, Limits{40, 60})};
    const std::string text = statsTableText(setStats(set));
    std::vector<std::string> lines;
    for (std::size_t at = 0, nl; (nl = text.find('\n', at)) != std::string::npos; at = nl + 1)
        lines.push_back(text.substr(at, nl - at));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].substr(0, 7), "Channel");
    const auto words = [](const std::string& line) {
        std::vector<std::string> out;
        std::istringstream in(line);
        for (std::string w; in >> w;)
            out.push_back(w);
        return out;
    };
    EXPECT_EQ(words(lines[1]), (std::vector<std::string>{"Ch1", "2", "51", "1.414", "50", "52", "0", "0", "2.121"}));
    // A constant channel: no Cpk, the line ends after the Low count.
    EXPECT_EQ(words(lines[2]), (std::vector<std::string>{"Ch2", "2", "1234.5", "0", "1234.5", "1234.5", "2", "0"}));
    // Figures are right-aligned under their names.
    const std::size_t meanEnd = lines[0].find("Mean") + 4;
    EXPECT_EQ(lines[1].substr(meanEnd - 3, 3), " 51");
    EXPECT_EQ(lines[2].substr(meanEnd - 6, 6), "1234.5");
    const std::size_t cpkEnd = lines[0].size();
    EXPECT_EQ(lines[1].size(), cpkEnd);
}

} // namespace
