#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

// The byte image of one signature file as the press-load monitor stores it.
// Fields are read in place from fixed offsets (little-endian, float32 as IEEE
// single); the stretches between them carry along unchanged in every copy.
class SignatureRecord
{
public:
    static constexpr std::size_t Size = 27884;
    static constexpr int ChannelCount = 4;
    static constexpr int PointCount = 448;

    // Field offsets within the image. Per-channel fields are arrays of four,
    // element 0 for channel 1.
    struct Offset
    {
        static constexpr std::size_t JobName = 0;
        static constexpr std::size_t Mode = 22;
        static constexpr std::size_t Peak = 32;
        static constexpr std::size_t Target = 190;
        static constexpr std::size_t Sample = 200;
        static constexpr std::size_t EFactor = 230;
        static constexpr std::size_t Capacity = 266;
        static constexpr std::size_t PlusTolerance = 286;
        static constexpr std::size_t MinusTolerance = 296;
        static constexpr std::size_t ToleranceInTons = 310;
        static constexpr std::size_t WindowStartAngle = 318;
        static constexpr std::size_t WindowEndAngle = 320;
        static constexpr std::size_t StepDegreeTenths = 322;
        static constexpr std::size_t StrokeCount = 336;
        static constexpr std::size_t StrokesPerMinute = 392;
        static constexpr std::size_t DateText = 408;
        static constexpr std::size_t TimeText = 419;
        static constexpr std::size_t Curve = 2536;
    };
    // Every field named above and the four curves lie in the first bytes of
    // the image; what follows them is carried along but read by no one.
    static constexpr std::size_t FieldsSize = Offset::Curve + std::size_t{ChannelCount} * PointCount * 4;

    // Room of each text: the text ends at its first NUL or at the end of its room.
    struct Room
    {
        static constexpr std::size_t JobName = 22;
        static constexpr std::size_t DateText = 11;
        static constexpr std::size_t TimeText = Offset::Curve - Offset::TimeText;
    };

    enum class Mode : std::int16_t { Cal = 1, Setup = 2, Monitor = 4 };

    std::array<std::uint8_t, Size> bytes{};

    std::string_view jobName() const { return text(Offset::JobName, Room::JobName); }
    std::string_view dateText() const { return text(Offset::DateText, Room::DateText); }
    std::string_view timeText() const { return text(Offset::TimeText, Room::TimeText); }

    std::int16_t mode() const { return i16(Offset::Mode); }
    // "CAL", "SETUP", "MONITOR", or empty for a mode value that has no name.
    std::string_view modeName() const;

    float peak(int channel) const { return f32(Offset::Peak + 4 * channel); }
    std::int16_t target(int channel) const { return i16(Offset::Target + 2 * channel); }
    std::int16_t sample(int channel) const { return i16(Offset::Sample + 2 * channel); }
    std::int16_t eFactor(int channel) const { return i16(Offset::EFactor + 2 * channel); }
    std::int16_t capacity(int channel) const { return i16(Offset::Capacity + 2 * channel); }
    std::int16_t plusTolerance(int channel) const { return i16(Offset::PlusTolerance + 2 * channel); }
    std::int16_t minusTolerance(int channel) const { return i16(Offset::MinusTolerance + 2 * channel); }
    bool toleranceInTons() const { return bytes[Offset::ToleranceInTons] != 0; }
    std::int16_t windowStartAngle() const { return i16(Offset::WindowStartAngle); }
    std::int16_t windowEndAngle() const { return i16(Offset::WindowEndAngle); }
    std::int16_t stepDegreeTenths() const { return i16(Offset::StepDegreeTenths); }
    std::int32_t strokeCount() const { return i32(Offset::StrokeCount); }
    std::int16_t strokesPerMinute() const { return i16(Offset::StrokesPerMinute); }

    // E-factor in its real unit: channel 1 is stored in tenths, channels 2 to 4
    // in units of 1/10.1. Reports written so far rely on that divisor.
    double eFactorValue(int channel) const;

    // Raw stored curve value of channel (0..3) at point (0..447).
    float curve(int channel, int point) const { return f32(curveOffset(channel, point)); }
    // Curve value as every consumer uses it: no-sample values count as 0.0.
    float load(int channel, int point) const; // defined below, after the floor
    // A channel's whole curve by load(), for callers that scan every point.
    void loads(int channel, std::span<float, PointCount> out) const;

    void setJobName(std::string_view text) { setText(Offset::JobName, Room::JobName, text); }
    void setDateText(std::string_view text) { setText(Offset::DateText, Room::DateText, text); }
    void setTimeText(std::string_view text) { setText(Offset::TimeText, Room::TimeText, text); }
    void setMode(std::int16_t v) { setI16(Offset::Mode, v); }
    void setPeak(int channel, float v) { setF32(Offset::Peak + 4 * channel, v); }
    void setTarget(int channel, std::int16_t v) { setI16(Offset::Target + 2 * channel, v); }
    void setSample(int channel, std::int16_t v) { setI16(Offset::Sample + 2 * channel, v); }
    void setEFactor(int channel, std::int16_t v) { setI16(Offset::EFactor + 2 * channel, v); }
    void setCapacity(int channel, std::int16_t v) { setI16(Offset::Capacity + 2 * channel, v); }
    void setPlusTolerance(int channel, std::int16_t v) { setI16(Offset::PlusTolerance + 2 * channel, v); }
    void setMinusTolerance(int channel, std::int16_t v) { setI16(Offset::MinusTolerance + 2 * channel, v); }
    void setToleranceInTons(bool v) { bytes[Offset::ToleranceInTons] = v ? 1 : 0; }
    void setWindowStartAngle(std::int16_t v) { setI16(Offset::WindowStartAngle, v); }
    void setWindowEndAngle(std::int16_t v) { setI16(Offset::WindowEndAngle, v); }
    void setStepDegreeTenths(std::int16_t v) { setI16(Offset::StepDegreeTenths, v); }
    void setStrokeCount(std::int32_t v) { setI32(Offset::StrokeCount, v); }
    void setStrokesPerMinute(std::int16_t v) { setI16(Offset::StrokesPerMinute, v); }
    void setCurve(int channel, int point, float v) { setF32(curveOffset(channel, point), v); }

    // Replaces every no-sample curve value by 0.0 in the image itself.
    void clearNoSamples();

    // Angle step between curve points and the angle of one point; the 448
    // points divide the look window into 448 steps, so the last point lies one
    // step short of the window's end.
    double angleStep() const;
    double pointAngle(int point) const { return point * angleStep() + windowStartAngle(); }

    friend bool operator==(const SignatureRecord&, const SignatureRecord&) = default;

private:
    static constexpr std::size_t curveOffset(int channel, int point)
    {
        return Offset::Curve + static_cast<std::size_t>(channel) * PointCount * 4 + static_cast<std::size_t>(point) * 4;
    }
    std::string_view text(std::size_t offset, std::size_t room) const;
    void setText(std::size_t offset, std::size_t room, std::string_view text);
    std::int16_t i16(std::size_t offset) const;
    std::int32_t i32(std::size_t offset) const;
    float f32(std::size_t offset) const;
    void setI16(std::size_t offset, std::int16_t v);
    void setI32(std::size_t offset, std::int32_t v);
    void setF32(std::size_t offset, float v);
};

// A curve value smaller than -9999.0, or a NaN, is no sample; -9999.0 itself is one.
constexpr bool isNoSample(float value)
{
    return !(value >= -9999.0f);
}
constexpr float sampleOrZero(float value)
{
    return isNoSample(value) ? 0.0f : value;
}

// Reading a value is inline: the report and the chart read every curve point.
inline std::int32_t SignatureRecord::i32(std::size_t offset) const
{
    const std::uint32_t u = std::uint32_t(bytes[offset]) | (std::uint32_t(bytes[offset + 1]) << 8) |
                            (std::uint32_t(bytes[offset + 2]) << 16) | (std::uint32_t(bytes[offset + 3]) << 24);
    return static_cast<std::int32_t>(u);
}

inline float SignatureRecord::f32(std::size_t offset) const
{
    return std::bit_cast<float>(static_cast<std::uint32_t>(i32(offset)));
}

inline float SignatureRecord::load(int channel, int point) const
{
    return sampleOrZero(curve(channel, point));
}

inline void SignatureRecord::loads(int channel, std::span<float, PointCount> out) const
{
    if constexpr (std::endian::native == std::endian::little) {
        // The image's floats are the machine's own: one copy, then a loop
        // the compiler can run on whole vectors.
        std::memcpy(out.data(), bytes.data() + curveOffset(channel, 0), out.size_bytes());
        for (float& v : out)
            v = sampleOrZero(v);
    } else {
        for (int i = 0; i < PointCount; ++i)
            out[static_cast<std::size_t>(i)] = load(channel, i);
    }
}
