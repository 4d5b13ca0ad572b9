#pragma once

#include <cstdint>
#include <span>
#include <vector>

// The pixel columns a trend is drawn into, worked out without a window so that
// the drawing and the mouse lookup share one rule. The x range [x0, x1] is
// split into `count` equal columns; a value on x1 belongs to the last one. A
// stroke outside the range, or with an x that is not a finite number, has no
// column (-1).
struct TrendColumns
{
    int count = 0;
    double x0 = 0;
    double x1 = 1;
    std::vector<std::int32_t> of; // column of each stroke, -1 for none
    std::size_t inside = 0;       // strokes that have a column

    static TrendColumns assign(std::span<const double> x, double x0, double x1, int count);
};

// One channel's values reduced to what a pixel column can show: the lowest and
// highest value that fell into it, and the values of its leftmost and
// rightmost stroke (by x, not by order in the list), which the line from one
// column to the next joins. A column that no value reached has none.
struct TrendEnvelope
{
    std::vector<float> min, max, first, last;
    std::vector<std::uint8_t> filled;

    int count() const { return static_cast<int>(filled.size()); }
    bool has(int column) const { return filled[static_cast<std::size_t>(column)] != 0; }

    // y[i] belongs to the stroke at x[i]; NaN and infinite values are left out.
    static TrendEnvelope of(const TrendColumns& columns, std::span<const double> x, std::span<const float> y);
};

// Strokes grouped by column, each group in ascending stroke order: the mouse
// asks only the groups under and beside the pointer instead of every stroke.
class TrendColumnIndex
{
public:
    TrendColumnIndex() = default;
    explicit TrendColumnIndex(const TrendColumns& columns);

    // Strokes of columns [from, to], clamped to the columns there are.
    std::span<const std::int32_t> strokes(int from, int to) const;

private:
    std::vector<std::int32_t> m_start; // count + 1 offsets into m_ids
    std::vector<std::int32_t> m_ids;
};
