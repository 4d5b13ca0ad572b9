#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class SignatureRecord;

// Where a stroke's peak lies against its channel's limits.
enum class LimitStatus : std::uint8_t {
    Ok,
    High,
    Low,
    NoLimit, // the channel has no target, so no limits
    NoPeak,  // the recorded peak is no number: never counted as OK
};
std::string_view limitStatusText(LimitStatus status);

// How the tolerances of a record are stored.
enum class ToleranceUnit : std::uint8_t { Percent, Load };
std::string_view toleranceUnitText(ToleranceUnit unit);

// A channel's low and high limit, when it has a target.
struct Limits
{
    double low = 0;
    double high = 0;
    friend bool operator==(const Limits&, const Limits&) = default;
};

// Percent: target × (1 ∓ tol/100); load units: target ∓ tol; none when the
// target is 0. Percent limits are formed as target × (100 ∓ tol) / 100, whose
// product is exact, so a limit such as 50.15 is the double nearest 50.15.
std::optional<Limits> channelLimits(int target, int plusTol, int minusTol, ToleranceUnit unit);
// Above high is HIGH, below low is LOW; on a limit is still OK.
LimitStatus limitStatus(float peak, const std::optional<Limits>& limits);

// What one channel of one stroke comes to.
struct ChannelSummary
{
    float peak = 0;     // as the instrument recorded it
    float curveMax = 0; // the curve's largest value (no-sample points count as 0.0)
    float curveMin = 0; // its smallest: reverse load after breakthrough is negative
    float curveMaxAngle = 0;
    float curveMinAngle = 0;
    std::int16_t capacity = 0;
    std::int16_t target = 0;
    std::int16_t plusTol = 0;
    std::int16_t minusTol = 0;
    std::optional<Limits> limits;
    LimitStatus status = LimitStatus::NoLimit;

    // The peak in percent of the channel's capacity; none for a capacity of 0
    // or less, or a peak that is no number.
    std::optional<double> capacityShare() const;
};

// What one stroke comes to: the values a quality engineer tracks across
// thousands of strokes, kept small (no curves) so that a hundred thousand of
// them fit in memory.
struct StrokeSummary
{
    static constexpr int ChannelCount = 4;

    std::string path;
    std::string date; // the texts as stored
    std::string time;
    std::string job;
    std::string mode;                      // "CAL", "SETUP", "MONITOR", or the stored number
    std::optional<std::int64_t> timestamp; // see recordedTime
    std::int32_t strokeCount = 0;
    std::int16_t strokesPerMinute = 0;
    ToleranceUnit toleranceUnit = ToleranceUnit::Percent;
    std::array<ChannelSummary, ChannelCount> channels{};

    // The four recorded peaks added up; NaN when one of them is no number.
    double totalPeak() const;
    // A channel's share of the total in percent (off-centre load); none when
    // the total is 0 or no number.
    std::optional<double> loadShare(int channel) const;
};

StrokeSummary summariseStroke(const SignatureRecord& record, std::string path);

// Order of a table of strokes: by timestamp (strokes without one after those
// with one), then stroke count, then path.
bool strokeOrderBefore(const StrokeSummary& a, const StrokeSummary& b);
