#include "analysis/StrokeSummary.h"

#include "analysis/RecordedTime.h"
#include "signature/SignatureRecord.h"

#include <algorithm>
#include <tuple>

std::string_view limitStatusText(LimitStatus status)
{
    switch (status) {
    case LimitStatus::Ok:
        return "OK";
    case LimitStatus::High:
        return "HIGH";
    case LimitStatus::Low:
        return "LOW";
    case LimitStatus::NoLimit:
        return "NO LIMIT";
    case LimitStatus::NoPeak:
        return "NO PEAK";
    }
    return {};
}

std::string_view toleranceUnitText(ToleranceUnit unit)
{
    return unit == ToleranceUnit::Percent ? "%" : "load";
}

std::optional<Limits> channelLimits(int target, int plusTol, int minusTol, ToleranceUnit unit)
{
    if (target == 0)
        return std::nullopt;
    if (unit == ToleranceUnit::Load)
        return Limits{double(target) - minusTol, double(target) + plusTol};
    return Limits{double(target) * (100 - minusTol) / 100, double(target) * (100 + plusTol) / 100};
}

LimitStatus limitStatus(float peak, const std::optional<Limits>& limits)
{
    if (std::isnan(peak))
        return LimitStatus::NoPeak;
    if (!limits)
        return LimitStatus::NoLimit;
    if (peak > limits->high)
        return LimitStatus::High;
    if (peak < limits->low)
        return LimitStatus::Low;
    return LimitStatus::Ok;
}

std::optional<double> ChannelSummary::capacityShare() const
{
    if (capacity <= 0 || std::isnan(peak))
        return std::nullopt;
    return double(peak) * 100 / capacity;
}

double StrokeSummary::totalPeak() const
{
    double total = 0;
    for (const ChannelSummary& c : channels)
        total += double(c.peak);
    return total;
}

std::optional<double> StrokeSummary::loadShare(int channel) const
{
    const double total = totalPeak();
    if (!(total != 0) || !std::isfinite(total))
        return std::nullopt;
    return double(channels[static_cast<std::size_t>(channel)].peak) * 100 / total;
}

namespace {

// The curve's extremes, no-sample points counting as 0.0; the first point
// wins a tie, so the angle is where the value is first reached.
void curveExtremes(const SignatureRecord& record, int channel, ChannelSummary& out)
{
    std::array<float, SignatureRecord::PointCount> curve;
    record.loads(channel, curve);
    // The values first, in a loop the compiler runs on whole vectors (no
    // value is NaN any more), then where each is first reached: this is most
    // of the time a summary takes, and it reads thousands of files.
    float highest = curve[0];
    float lowest = curve[0];
#pragma omp simd reduction(max : highest) reduction(min : lowest)
    for (std::size_t i = 0; i < curve.size(); ++i) {
        highest = curve[i] > highest ? curve[i] : highest;
        lowest = curve[i] < lowest ? curve[i] : lowest;
    }
    const auto at = [&](float value) {
        return static_cast<int>(std::find(curve.begin(), curve.end(), value) - curve.begin());
    };
    out.curveMax = highest;
    out.curveMin = lowest;
    out.curveMaxAngle = static_cast<float>(record.pointAngle(at(highest)));
    out.curveMinAngle = static_cast<float>(record.pointAngle(at(lowest)));
}

} // namespace

StrokeSummary summariseStroke(const SignatureRecord& record, std::string path)
{
    StrokeSummary s;
    s.path = std::move(path);
    s.date = record.dateText();
    s.time = record.timeText();
    s.job = record.jobName();
    s.mode = record.modeName();
    if (s.mode.empty())
        s.mode = std::to_string(record.mode());
    s.timestamp = recordedTime(s.date, s.time);
    s.strokeCount = record.strokeCount();
    s.strokesPerMinute = record.strokesPerMinute();
    s.toleranceUnit = record.toleranceInTons() ? ToleranceUnit::Load : ToleranceUnit::Percent;
    for (int c = 0; c < StrokeSummary::ChannelCount; ++c) {
        ChannelSummary& ch = s.channels[static_cast<std::size_t>(c)];
        ch.peak = record.peak(c);
        ch.capacity = record.capacity(c);
        ch.target = record.target(c);
        ch.plusTol = record.plusTolerance(c);
        ch.minusTol = record.minusTolerance(c);
        ch.limits = channelLimits(ch.target, ch.plusTol, ch.minusTol, s.toleranceUnit);
        ch.status = limitStatus(ch.peak, ch.limits);
        curveExtremes(record, c, ch);
    }
    return s;
}

bool strokeOrderBefore(const StrokeSummary& a, const StrokeSummary& b)
{
    // A missing timestamp sorts after every present one.
    const auto key = [](const StrokeSummary& s) {
        return std::make_tuple(!s.timestamp.has_value(), s.timestamp.value_or(0), s.strokeCount);
    };
    const auto ka = key(a);
    const auto kb = key(b);
    if (ka != kb)
        return ka < kb;
    return a.path < b.path;
}
