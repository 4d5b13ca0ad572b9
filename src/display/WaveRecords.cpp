#include "display/WaveRecords.h"

#include "signature/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// The label had room for 255 characters; an odd record (a time text without
// an early terminator) is cut there.
constexpr std::size_t LabelRoom = 255;

} // namespace

std::string recordLabelText(const SignatureRecord& first, int count)
{
    std::string text;
    if (count <= 1) {
        text.append("Time: ").append(first.timeText());
        text.append("   Date: ").append(first.dateText());
        text.append("   Job: ").append(first.jobName());
        for (int c = 0; c < SignatureRecord::ChannelCount; ++c)
            text.append("   Ch").append(std::to_string(c + 1)).append(":").append(numfmt::fixed1Text(first.peak(c)));
    } else {
        text = std::to_string(count) + " Records Selected";
    }
    if (text.size() > LabelRoom)
        text.resize(LabelRoom);
    return text;
}

WaveAngles waveAngles(const SignatureRecord& record)
{
    WaveAngles x{};
    const double step =
        (record.windowEndAngle() - record.windowStartAngle()) / static_cast<double>(SignatureRecord::PointCount);
    double at = record.windowStartAngle();
    for (double& v : x) {
        v = at;
        at += step;
    }
    return x;
}

AngleSpan windowSpan(const QList<const SignatureRecord*>& records)
{
    if (records.isEmpty())
        return {};
    AngleSpan span{std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    for (const SignatureRecord* r : records) {
        const double start = r->windowStartAngle();
        const double end = r->windowEndAngle();
        span.min = std::min({span.min, start, end});
        span.max = std::max({span.max, start, end});
    }
    return span;
}

QList<QPointF> curvePoints(const SignatureRecord& record, int channel, const WaveAngles& angles)
{
    QList<QPointF> points;
    points.reserve(SignatureRecord::PointCount);
    for (int i = 0; i < SignatureRecord::PointCount; ++i)
        points.append(QPointF(angles[static_cast<std::size_t>(i)], record.load(channel, i)));
    return points;
}
