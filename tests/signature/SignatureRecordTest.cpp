#include "signature/SignatureRecord.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

void putLe(SignatureRecord& r, std::size_t offset, std::uint32_t value, int size)
{
    for (int k = 0; k < size; ++k)
        r.bytes[offset + k] = static_cast<std::uint8_t>(value >> (8 * k));
}

void putFloat(SignatureRecord& r, std::size_t offset, float v)
{
    std::uint32_t u;
    std::memcpy(&u, &v, 4);
    putLe(r, offset, u, 4);
}

} // namespace

// The accessors must read each field from its documented offset, little-endian
// and signed; a wrong offset or byte order would shift every report column.
TEST(SignatureRecord, FieldsAreReadFromTheirOffsetsLittleEndian)
{
    SignatureRecord r;
    putLe(r, 22, 4, 2);
    for (int c = 0; c < 4; ++c) {
        putFloat(r, 32 + 4 * c, 10.5f + c);
        putLe(r, 190 + 2 * c, static_cast<std::uint16_t>(-100 - c), 2);
        putLe(r, 200 + 2 * c, 300 + c, 2);
        putLe(r, 230 + 2 * c, 101 + c, 2);
        putLe(r, 266 + 2 * c, 0x1234 + c, 2);
        putLe(r, 286 + 2 * c, 5 + c, 2);
        putLe(r, 296 + 2 * c, 9 + c, 2);
    }
    r.bytes[310] = 7;
    putLe(r, 318, static_cast<std::uint16_t>(-30), 2);
    putLe(r, 320, 314, 2);
    putLe(r, 322, 5, 2);
    putLe(r, 336, 0x80000001u, 4);
    putLe(r, 392, 55, 2);
    putFloat(r, 2536, 1.25f);                      // channel 1, point 0
    putFloat(r, 2536 + 1792 * 3 + 4 * 447, -2.5f); // channel 4, point 447, ends at 9703

    EXPECT_EQ(r.mode(), 4);
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(r.peak(c), 10.5f + c);
        EXPECT_EQ(r.target(c), -100 - c);
        EXPECT_EQ(r.sample(c), 300 + c);
        EXPECT_EQ(r.eFactor(c), 101 + c);
        EXPECT_EQ(r.capacity(c), 0x1234 + c);
        EXPECT_EQ(r.plusTolerance(c), 5 + c);
        EXPECT_EQ(r.minusTolerance(c), 9 + c);
    }
    EXPECT_TRUE(r.toleranceInTons());
    EXPECT_EQ(r.windowStartAngle(), -30);
    EXPECT_EQ(r.windowEndAngle(), 314);
    EXPECT_EQ(r.stepDegreeTenths(), 5);
    EXPECT_EQ(r.strokeCount(), -2147483647);
    EXPECT_EQ(r.strokesPerMinute(), 55);
    EXPECT_EQ(r.curve(0, 0), 1.25f);
    EXPECT_EQ(r.curve(3, 447), -2.5f);
}

TEST(SignatureRecord, SettersWriteWhereAccessorsRead)
{
    SignatureRecord r;
    r.setCurve(2, 10, 3.5f);
    r.setStrokeCount(-5);
    r.setEFactor(3, -7);
    EXPECT_EQ(r.curve(2, 10), 3.5f);
    EXPECT_EQ(r.strokeCount(), -5);
    EXPECT_EQ(r.eFactor(3), -7);
    EXPECT_EQ(r.bytes[336], 0xfb);
    EXPECT_EQ(r.bytes[230 + 6], 0xf9);
    EXPECT_EQ(r.bytes[2536 + 2 * 1792 + 40 + 3], 0x40); // 3.5f = 0x40600000
}

// Texts end at their first NUL; a text that fills its room ends there and
// never runs into the next field.
TEST(SignatureRecord, TextsEndAtNulOrAtTheEndOfTheirRoom)
{
    SignatureRecord r;
    std::memcpy(r.bytes.data(), "JOB\0junk", 8);
    std::memcpy(r.bytes.data() + 408, "2026-12-09", 11);
    std::memcpy(r.bytes.data() + 419, "10:11:12", 9);
    EXPECT_EQ(r.jobName(), "JOB");
    EXPECT_EQ(r.dateText(), "2026-12-09");
    EXPECT_EQ(r.timeText(), "10:11:12");

    std::memset(r.bytes.data(), 'J', 22);
    r.bytes[22] = 'M';
    EXPECT_EQ(r.jobName(), std::string(22, 'J'));
    std::memset(r.bytes.data() + 408, 'D', 11);
    EXPECT_EQ(r.dateText(), std::string(11, 'D'));
    std::memset(r.bytes.data() + 419, 'T', 2117);
    r.bytes[2536] = 'X';
    EXPECT_EQ(r.timeText(), std::string(2117, 'T'));
}

TEST(SignatureRecord, OnlyModesOneTwoAndFourHaveNames)
{
    SignatureRecord r;
    const std::pair<int, std::string_view> cases[] = {{1, "CAL"}, {2, "SETUP"}, {4, "MONITOR"}, {0, ""},
                                                      {3, ""},    {5, ""},      {0x104, ""},    {-4, ""}};
    for (const auto& [mode, name] : cases) {
        r.setMode(static_cast<std::int16_t>(mode));
        EXPECT_EQ(r.modeName(), name) << "mode " << mode;
    }
}

TEST(SignatureRecord, NoSampleFloorKeepsMinus9999AndClearsEverythingBelowAndNan)
{
    EXPECT_FALSE(isNoSample(-9999.0f));
    EXPECT_TRUE(isNoSample(-9999.5f));
    EXPECT_TRUE(isNoSample(-1.0e9f));
    EXPECT_TRUE(isNoSample(std::numeric_limits<float>::quiet_NaN()));
    EXPECT_TRUE(isNoSample(-std::numeric_limits<float>::infinity()));
    EXPECT_EQ(sampleOrZero(1.0e9f), 1.0e9f);

    SignatureRecord r;
    r.setCurve(0, 0, -10000.0f);
    r.setCurve(1, 447, std::numeric_limits<float>::quiet_NaN());
    r.setCurve(2, 5, -9999.0f);
    r.setCurve(3, 6, 1.0e9f);
    EXPECT_EQ(r.load(0, 0), 0.0f);
    EXPECT_EQ(r.curve(0, 0), -10000.0f); // reading does not change the image
    r.clearNoSamples();
    EXPECT_EQ(r.curve(0, 0), 0.0f);
    EXPECT_EQ(r.curve(1, 447), 0.0f);
    EXPECT_EQ(r.curve(2, 5), -9999.0f);
    EXPECT_EQ(r.curve(3, 6), 1.0e9f);
}

// 448 points divide the window into 448 steps: the last point lies one step
// short of the end angle, and a falling window is not rejected.
TEST(SignatureRecord, PointAnglesDivideTheWindowInto448Steps)
{
    SignatureRecord r;
    r.setWindowStartAngle(0);
    r.setWindowEndAngle(224);
    EXPECT_DOUBLE_EQ(r.pointAngle(0), 0.0);
    EXPECT_DOUBLE_EQ(r.pointAngle(1), 0.5);
    EXPECT_DOUBLE_EQ(r.pointAngle(447), 223.5);

    r.setWindowStartAngle(300);
    r.setWindowEndAngle(76);
    EXPECT_DOUBLE_EQ(r.pointAngle(1), 299.5);
    EXPECT_DOUBLE_EQ(r.pointAngle(447), 76.5);
}

TEST(SignatureRecord, EFactorOfChannelOneIsInTenthsTheOthersIn10Point1)
{
    SignatureRecord r;
    for (int c = 0; c < 4; ++c)
        r.setEFactor(c, 101);
    EXPECT_DOUBLE_EQ(r.eFactorValue(0), 101 * 0.1);
    for (int c = 1; c < 4; ++c)
        EXPECT_DOUBLE_EQ(r.eFactorValue(c), 10.0);
}
