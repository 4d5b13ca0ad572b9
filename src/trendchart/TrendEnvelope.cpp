// Reduces up to hundreds of thousands of strokes to a few values per pixel
// column, so that a trend draws in time proportional to its width.
#include "trendchart/TrendEnvelope.h"

#include <algorithm>
#include <cmath>
#include <limits>

TrendColumns TrendColumns::assign(std::span<const double> x, double x0, double x1, int count)
{
    TrendColumns c;
    c.count = std::max(count, 0);
    c.x0 = x0;
    c.x1 = x1;
    c.of.resize(x.size());
    if (c.count == 0 || !(x1 > x0) || !std::isfinite(x1 - x0)) {
        std::fill(c.of.begin(), c.of.end(), -1);
        return c;
    }
    const double scale = c.count / (x1 - x0);
    const auto last = static_cast<std::int32_t>(c.count - 1);
    std::size_t inside = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double v = x[i];
        std::int32_t col = -1;
        if (v >= x0 && v <= x1) {
            col = std::min(static_cast<std::int32_t>((v - x0) * scale), last);
            ++inside;
        }
        c.of[i] = col;
    }
    c.inside = inside;
    return c;
}

TrendEnvelope TrendEnvelope::of(const TrendColumns& columns, std::span<const double> x, std::span<const float> y)
{
    const auto n = static_cast<std::size_t>(columns.count);
    TrendEnvelope e;
    e.min.assign(n, std::numeric_limits<float>::quiet_NaN());
    e.max.assign(n, std::numeric_limits<float>::quiet_NaN());
    e.first.assign(n, std::numeric_limits<float>::quiet_NaN());
    e.last.assign(n, std::numeric_limits<float>::quiet_NaN());
    e.filled.assign(n, 0);
    // The x of each column's leftmost and rightmost value so far.
    std::vector<double> firstX(n), lastX(n);
    const std::size_t strokes = std::min({columns.of.size(), x.size(), y.size()});
    for (std::size_t i = 0; i < strokes; ++i) {
        const std::int32_t col = columns.of[i];
        const float v = y[i];
        if (col < 0 || !std::isfinite(v))
            continue;
        const auto c = static_cast<std::size_t>(col);
        const double xi = x[i];
        if (!e.filled[c]) {
            e.filled[c] = 1;
            e.min[c] = e.max[c] = e.first[c] = e.last[c] = v;
            firstX[c] = lastX[c] = xi;
            continue;
        }
        e.min[c] = std::min(e.min[c], v);
        e.max[c] = std::max(e.max[c], v);
        // Ties keep the earlier stroke first and the later one last.
        if (xi < firstX[c]) {
            firstX[c] = xi;
            e.first[c] = v;
        }
        if (xi >= lastX[c]) {
            lastX[c] = xi;
            e.last[c] = v;
        }
    }
    return e;
}

TrendColumnIndex::TrendColumnIndex(const TrendColumns& columns)
{
    // A counting sort: one pass counts, one places, and strokes keep their order.
    const auto n = static_cast<std::size_t>(columns.count);
    m_start.assign(n + 1, 0);
    for (const std::int32_t c : columns.of) {
        if (c >= 0)
            ++m_start[static_cast<std::size_t>(c) + 1];
    }
    for (std::size_t c = 0; c < n; ++c)
        m_start[c + 1] += m_start[c];
    m_ids.resize(static_cast<std::size_t>(m_start[n]));
    std::vector<std::int32_t> next(m_start.begin(), m_start.end() - 1);
    for (std::size_t i = 0; i < columns.of.size(); ++i) {
        const std::int32_t c = columns.of[i];
        if (c >= 0)
            m_ids[static_cast<std::size_t>(next[static_cast<std::size_t>(c)]++)] = static_cast<std::int32_t>(i);
    }
}

std::span<const std::int32_t> TrendColumnIndex::strokes(int from, int to) const
{
    const int count = static_cast<int>(m_start.size()) - 1;
    from = std::max(from, 0);
    to = std::min(to, count - 1);
    if (count <= 0 || from > to)
        return {};
    const auto b = static_cast<std::size_t>(m_start[static_cast<std::size_t>(from)]);
    const auto e = static_cast<std::size_t>(m_start[static_cast<std::size_t>(to) + 1]);
    return std::span<const std::int32_t>(m_ids).subspan(b, e - b);
}
