// Strokes to pixel columns: the chart draws these values and the mouse looks
// strokes up through them, so a stroke in the wrong column is drawn and picked
// in the wrong place.
#include "trendchart/TrendEnvelope.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <vector>

namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

struct Stroke
{
    double x;
    float y;
    int column; // where the test put it
};

// What one column must show, worked out from the strokes the test placed in it.
struct Expected
{
    float min = NaN, max = NaN, first = NaN, last = NaN;
};

std::map<int, Expected> expectedColumns(const std::vector<Stroke>& strokes)
{
    std::map<int, std::vector<Stroke>> byColumn;
    for (const Stroke& s : strokes) {
        if (s.column >= 0 && !std::isnan(s.y))
            byColumn[s.column].push_back(s);
    }
    std::map<int, Expected> out;
    for (auto& [c, list] : byColumn) {
        Expected e;
        e.min = std::min_element(list.begin(), list.end(), [](auto& a, auto& b) { return a.y < b.y; })->y;
        e.max = std::max_element(list.begin(), list.end(), [](auto& a, auto& b) { return a.y < b.y; })->y;
        e.first = std::min_element(list.begin(), list.end(), [](auto& a, auto& b) { return a.x < b.x; })->y;
        e.last = std::max_element(list.begin(), list.end(), [](auto& a, auto& b) { return a.x < b.x; })->y;
        out[c] = e;
    }
    return out;
}

void split(const std::vector<Stroke>& strokes, std::vector<double>& x, std::vector<float>& y)
{
    for (const Stroke& s : strokes) {
        x.push_back(s.x);
        y.push_back(s.y);
    }
}

void expectEnvelope(const TrendEnvelope& e, const std::map<int, Expected>& expected, int columns)
{
    ASSERT_EQ(e.count(), columns);
    for (int c = 0; c < columns; ++c) {
        const auto it = expected.find(c);
        if (it == expected.end()) {
            EXPECT_FALSE(e.has(c)) << "column " << c << " has no value";
            continue;
        }
        ASSERT_TRUE(e.has(c)) << "column " << c;
        const auto k = static_cast<std::size_t>(c);
        EXPECT_EQ(e.min[k], it->second.min) << "column " << c;
        EXPECT_EQ(e.max[k], it->second.max) << "column " << c;
        EXPECT_EQ(e.first[k], it->second.first) << "column " << c;
        EXPECT_EQ(e.last[k], it->second.last) << "column " << c;
    }
}

} // namespace

TEST(TrendEnvelope, ShuffledStrokesGiveEachColumnItsOwnExtremesAndEnds)
{
    // 50 columns over [0, 100): column c holds x in (2c, 2c + 2), placed at
    // distinct offsets; every fifth column is left empty. The list is
    // shuffled, so the first stroke of a column in the list is rarely its leftmost.
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> load(-50, 500);
    std::vector<Stroke> strokes;
    for (int c = 0; c < 50; ++c) {
        if (c % 5 == 3)
            continue;
        for (int k = 0; k < 9; ++k)
            strokes.push_back({2.0 * c + 0.1 + 0.2 * k, load(rng), c});
    }
    std::shuffle(strokes.begin(), strokes.end(), rng);
    std::vector<double> x;
    std::vector<float> y;
    split(strokes, x, y);

    const TrendColumns columns = TrendColumns::assign(x, 0, 100, 50);
    EXPECT_EQ(columns.inside, strokes.size());
    for (std::size_t i = 0; i < strokes.size(); ++i)
        ASSERT_EQ(columns.of[i], strokes[i].column) << "x " << strokes[i].x;
    expectEnvelope(TrendEnvelope::of(columns, x, y), expectedColumns(strokes), 50);
}

TEST(TrendEnvelope, MissingValuesAreLeftOutAndAColumnOfOnlyMissingValuesIsEmpty)
{
    const float inf = std::numeric_limits<float>::infinity();
    // Column 0: a NaN between real values must not become the minimum or an end.
    // Column 1: nothing but NaN and infinity. Column 2: one value.
    const std::vector<Stroke> strokes = {
        {0.5, NaN, 0}, {0.2, 5, 0}, {0.9, 7, 0}, {0.4, NaN, 0}, {1.5, NaN, 1}, {1.7, inf, 1}, {2.5, 3, 2},
    };
    std::vector<double> x;
    std::vector<float> y;
    split(strokes, x, y);
    const TrendEnvelope e = TrendEnvelope::of(TrendColumns::assign(x, 0, 3, 3), x, y);
    ASSERT_TRUE(e.has(0));
    EXPECT_EQ(e.min[0], 5);
    EXPECT_EQ(e.max[0], 7);
    EXPECT_EQ(e.first[0], 5);
    EXPECT_EQ(e.last[0], 7);
    EXPECT_FALSE(e.has(1));
    ASSERT_TRUE(e.has(2));
    EXPECT_EQ(e.min[2], 3);
    EXPECT_EQ(e.max[2], 3);
}

TEST(TrendEnvelope, ARangeNarrowerThanTheDataLeavesTheStrokesOutsideOut)
{
    // A zoom onto [10, 20] in 4 columns of 2.5: strokes left and right of it,
    // far larger or smaller, must not reach any column; the ends of the range
    // fall into the first and the last column.
    const std::vector<Stroke> strokes = {
        {9.999, 1000, -1},
        {10, 1, 0},
        {12.4, 2, 0},
        {12.6, 3, 1},
        {17.4, 4, 2},
        {17.6, 5, 3},
        {20, 6, 3},
        {20.001, -1000, -1},
        {-5, 9999, -1},
        {std::numeric_limits<double>::quiet_NaN(), 9999, -1},
        {std::numeric_limits<double>::infinity(), 9999, -1},
    };
    std::vector<double> x;
    std::vector<float> y;
    split(strokes, x, y);
    const TrendColumns columns = TrendColumns::assign(x, 10, 20, 4);
    for (std::size_t i = 0; i < strokes.size(); ++i)
        EXPECT_EQ(columns.of[i], strokes[i].column) << "x " << strokes[i].x;
    EXPECT_EQ(columns.inside, 6u);
    expectEnvelope(TrendEnvelope::of(columns, x, y), expectedColumns(strokes), 4);
}

TEST(TrendEnvelope, StrokesAtOneXKeepListOrderForTheirEnds)
{
    // Equal x: the earlier stroke enters the column, the later one leaves it.
    const std::vector<double> x = {1, 1, 1};
    const std::vector<float> y = {4, 9, 2};
    const TrendEnvelope e = TrendEnvelope::of(TrendColumns::assign(x, 0, 2, 2), x, y);
    ASSERT_TRUE(e.has(1));
    EXPECT_EQ(e.first[1], 4);
    EXPECT_EQ(e.last[1], 2);
    EXPECT_EQ(e.min[1], 2);
    EXPECT_EQ(e.max[1], 9);
}

TEST(TrendEnvelope, NoColumnsOrAnEmptyRangePlaceNothing)
{
    const std::vector<double> x = {0, 1, 2};
    for (const auto& [x0, x1, count] :
         {std::tuple{0.0, 2.0, 0}, std::tuple{1.0, 1.0, 10}, std::tuple{2.0, 0.0, 10},
          std::tuple{-std::numeric_limits<double>::max(), std::numeric_limits<double>::max(), 10}}) {
        const TrendColumns c = TrendColumns::assign(x, x0, x1, count);
        EXPECT_EQ(c.inside, 0u) << x0 << ".." << x1 << " in " << count;
        EXPECT_TRUE(std::all_of(c.of.begin(), c.of.end(), [](auto v) { return v == -1; }));
    }
}

TEST(TrendColumnIndex, ListsTheStrokesOfTheAskedColumnsInAscendingOrder)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> where(-10, 110);
    std::vector<double> x(2000);
    for (double& v : x)
        v = where(rng);
    const TrendColumns columns = TrendColumns::assign(x, 0, 100, 40);
    const TrendColumnIndex index(columns);
    for (const auto& [from, to] :
         {std::pair{0, 0}, std::pair{5, 9}, std::pair{39, 39}, std::pair{-3, 2}, std::pair{37, 60}, std::pair{10, 9}}) {
        std::vector<std::int32_t> expected;
        for (std::size_t i = 0; i < x.size(); ++i) {
            // The column by the test's own arithmetic: 2.5 units wide.
            if (x[i] < 0 || x[i] > 100)
                continue;
            const int c = std::min(static_cast<int>(std::floor(x[i] / 2.5)), 39);
            if (c >= from && c <= to)
                expected.push_back(static_cast<std::int32_t>(i));
        }
        const auto got = index.strokes(from, to);
        std::vector<std::int32_t> sorted(got.begin(), got.end());
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, expected) << from << ".." << to;
        // Within a column the order is ascending.
        for (int c = std::max(from, 0); c <= std::min(to, 39); ++c) {
            const auto one = index.strokes(c, c);
            EXPECT_TRUE(std::is_sorted(one.begin(), one.end())) << "column " << c;
        }
    }
    EXPECT_TRUE(TrendColumnIndex().strokes(0, 10).empty());
}
