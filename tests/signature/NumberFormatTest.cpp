#include "signature/NumberFormat.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

namespace {

std::string viaPrintf(double v, int width)
{
    char buf[400];
    std::snprintf(buf, sizeof buf, "%*.1f", width, v);
    return buf;
}

std::string viaFast(double v, int width, bool exact)
{
    std::string s;
    numfmt::appendFixed1(s, v, width, exact);
    return s;
}

} // namespace

// The report must read exactly as printf would have written it; the fast path
// may never round differently, not even on ties or near-ties.
TEST(NumberFormat, Fixed1MatchesPrintfOnTiesSignsAndSpecials)
{
    const double cases[] = {0.0,
                            -0.0,
                            0.05,
                            0.15,
                            0.25,
                            0.35,
                            -0.25,
                            2.5,
                            12.34,
                            -0.04,
                            -0.05,
                            999.95,
                            1e8,
                            -1e8,
                            99999999.95,
                            1e9,
                            12345.67,
                            123.0,
                            -9999.0,
                            0.449999,
                            std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity(),
                            std::numeric_limits<double>::quiet_NaN(),
                            4.5e-320};
    for (double v : cases)
        for (int width : {0, 6, 7}) {
            EXPECT_EQ(viaFast(v, width, false), viaPrintf(v, width)) << v;
            const auto f = static_cast<float>(v);
            EXPECT_EQ(viaFast(f, width, true), viaPrintf(f, width)) << f;
        }
}

TEST(NumberFormat, Fixed1MatchesPrintfOnRandomFloatsAndAngles)
{
    std::mt19937_64 rng(42);
    std::uniform_int_distribution<std::uint32_t> bits;
    std::uniform_real_distribution<double> loads(-2000.0, 2000.0);
    for (int n = 0; n < 200000; ++n) {
        // Any float32 bit pattern, including huge, tiny and quarter values.
        const float f = std::bit_cast<float>(bits(rng));
        ASSERT_EQ(viaFast(f, 6, true), viaPrintf(f, 6)) << f;
        const float q = static_cast<float>(std::round(loads(rng) * 4) / 4);
        ASSERT_EQ(viaFast(q, 6, true), viaPrintf(q, 6)) << q;
    }
    for (int start = -360; start <= 360; start += 7)
        for (int end = -360; end <= 360; end += 11) {
            const double step = (end - start) / 448.0;
            for (int i = 0; i < 448; ++i) {
                const double a = i * step + start;
                ASSERT_EQ(viaFast(a, 7, false), viaPrintf(a, 7)) << start << ".." << end << " #" << i;
            }
        }
    for (int e = -32768; e <= 32767; ++e) {
        ASSERT_EQ(viaFast(e * 0.1, 0, false), viaPrintf(e * 0.1, 0)) << e;
        ASSERT_EQ(viaFast(e / 10.1, 0, false), viaPrintf(e / 10.1, 0)) << e;
    }
}

TEST(NumberFormat, IntMatchesPrintf)
{
    for (std::int32_t v : {0, 1, -1, 42, -32768, 32767, std::numeric_limits<std::int32_t>::min(),
                           std::numeric_limits<std::int32_t>::max()}) {
        std::string s;
        numfmt::appendInt(s, v);
        EXPECT_EQ(s, std::to_string(v));
    }
}

// The report's text and the cursor's reading differ on purpose in three
// places; any other difference would be a fault in one of them.
TEST(NumberFormat, Fixed1TextReportIsPrintfAndReadingDiffersOnlyOnTiesZeroAndNan)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case
    {
        double value;
        const char* report;
        const char* reading;
    };
    const Case cases[] = {
        {12.34, "12.3", "12.3"},
        {12.25, "12.2", "12.3"}, // a tie: printf to even, the reading away from zero
        {-12.25, "-12.2", "-12.3"},
        {0.75, "0.8", "0.8"}, // a tie whose even tenth is also the far one
        {0.15, "0.1", "0.1"}, // not a tie: 0.15 is stored a little below
        {-0.0, "-0.0", "0.0"},
        {-0.04, "-0.0", "0.0"},
        {-0.05, "-0.1", "-0.1"}, // not a tie either: stored a little beyond
        {123456789.25, "123456789.2", "123456789.3"},
        {1e22, "10000000000000000000000.0", "10000000000000000000000.0"},
        {inf, "inf", "inf"},
        {-inf, "-inf", "-inf"},
        {nan, "nan", "nan"},
        {-nan, "-nan", "nan"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(numfmt::fixed1Text(c.value), c.report) << c.value;
        EXPECT_EQ(numfmt::fixed1Text(c.value), viaPrintf(c.value, 0)) << c.value;
        EXPECT_EQ(numfmt::fixed1Text(c.value, numfmt::Fixed1Style::Reading), c.reading) << c.value;
    }
    // Away from ties, zero and nan the two styles agree on any float.
    std::mt19937_64 rng(7);
    std::uniform_int_distribution<std::uint32_t> bits;
    for (int n = 0; n < 100000; ++n) {
        const float f = std::bit_cast<float>(bits(rng));
        const std::string report = numfmt::fixed1Text(f);
        if (std::isnan(f) || report == "-0.0" || std::fabs(std::fmod(static_cast<double>(f) * 20.0, 2.0)) == 1.0)
            continue;
        ASSERT_EQ(numfmt::fixed1Text(f, numfmt::Fixed1Style::Reading), report) << f;
    }
}
