#include "analysis/StrokeSummary.h"
#include "signature/SignatureRecord.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// A record with a flat curve on every channel and the given peak, target and
// tolerances on channel 1.
SignatureRecord recordWith(float peak, std::int16_t target, std::int16_t plus, std::int16_t minus, bool inLoad)
{
    SignatureRecord r;
    r.setWindowStartAngle(90);
    r.setWindowEndAngle(314);
    r.setToleranceInTons(inLoad);
    for (int c = 0; c < 4; ++c) {
        r.setPeak(c, 10.0f * float(c + 1));
        r.setCapacity(c, 100);
    }
    r.setPeak(0, peak);
    r.setTarget(0, target);
    r.setPlusTolerance(0, plus);
    r.setMinusTolerance(0, minus);
    return r;
}

TEST(StrokeSummary, LimitsFollowTheToleranceUnitAndTheStatusTheLimits)
{
    // Percent: 59 × 0.85 and 59 × 1.10, exactly the doubles nearest the decimals.
    const StrokeSummary pct = summariseStroke(recordWith(65.0f, 59, 10, 15, false), "a");
    ASSERT_TRUE(pct.channels[0].limits);
    EXPECT_EQ(pct.channels[0].limits->low, 50.15);
    EXPECT_EQ(pct.channels[0].limits->high, 64.9);
    EXPECT_EQ(pct.channels[0].status, LimitStatus::High);
    EXPECT_EQ(pct.toleranceUnit, ToleranceUnit::Percent);

    // Load units: target ∓ tol; a peak on the limit is still OK.
    const StrokeSummary load = summariseStroke(recordWith(53.0f, 59, 6, 6, true), "b");
    ASSERT_TRUE(load.channels[0].limits);
    EXPECT_EQ(load.channels[0].limits->low, 53.0);
    EXPECT_EQ(load.channels[0].limits->high, 65.0);
    EXPECT_EQ(load.channels[0].status, LimitStatus::Ok);
    EXPECT_EQ(summariseStroke(recordWith(52.99f, 59, 6, 6, true), "c").channels[0].status, LimitStatus::Low);

    // Target 0: no limits, whatever the tolerances; other channels have none either.
    const StrokeSummary none = summariseStroke(recordWith(500.0f, 0, 10, 10, false), "d");
    EXPECT_FALSE(none.channels[0].limits);
    EXPECT_EQ(none.channels[0].status, LimitStatus::NoLimit);
    EXPECT_EQ(none.channels[3].status, LimitStatus::NoLimit);

    // A peak that is no number is never OK, even within limits' reach.
    const StrokeSummary nan =
        summariseStroke(recordWith(std::numeric_limits<float>::quiet_NaN(), 59, 10, 10, false), "e");
    EXPECT_EQ(nan.channels[0].status, LimitStatus::NoPeak);
    EXPECT_FALSE(nan.channels[0].capacityShare());
    EXPECT_TRUE(std::isnan(nan.totalPeak()));
    EXPECT_FALSE(nan.loadShare(1));
}

TEST(StrokeSummary, SharesOfCapacityAndOfTheTotal)
{
    SignatureRecord r = recordWith(40.0f, 0, 0, 0, false); // peaks 40, 20, 30, 40
    r.setCapacity(1, 0);
    r.setCapacity(2, -5);
    const StrokeSummary s = summariseStroke(r, "x");
    EXPECT_DOUBLE_EQ(*s.channels[0].capacityShare(), 40.0);
    EXPECT_FALSE(s.channels[1].capacityShare());
    EXPECT_FALSE(s.channels[2].capacityShare());
    EXPECT_DOUBLE_EQ(s.totalPeak(), 130.0);
    EXPECT_DOUBLE_EQ(*s.loadShare(1), 20.0 * 100 / 130);
    double sum = 0;
    for (int c = 0; c < 4; ++c)
        sum += *s.loadShare(c);
    EXPECT_NEAR(sum, 100.0, 1e-9);

    SignatureRecord zero;
    EXPECT_FALSE(summariseStroke(zero, "z").loadShare(0)); // total 0: no share
}

TEST(StrokeSummary, CurveExtremesCountNoSamplesAsZeroAndTakeEachPointsAngle)
{
    SignatureRecord r;
    // A reversed window: angles fall from 300 by 0.5 degrees a point.
    r.setWindowStartAngle(300);
    r.setWindowEndAngle(76);
    for (int i = 0; i < SignatureRecord::PointCount; ++i)
        r.setCurve(0, i, -20000.0f); // every point a no-sample: 0.0
    r.setCurve(0, 10, 55.5f);
    r.setCurve(0, 20, 55.5f); // a tie: the first point reached wins
    r.setCurve(0, 30, -7.25f);
    r.setCurve(1, 5, std::numeric_limits<float>::quiet_NaN());
    const StrokeSummary s = summariseStroke(r, "rev");
    EXPECT_EQ(s.channels[0].curveMax, 55.5f);
    EXPECT_FLOAT_EQ(s.channels[0].curveMaxAngle, 300.0f - 10 * 0.5f);
    EXPECT_EQ(s.channels[0].curveMin, -7.25f);
    EXPECT_FLOAT_EQ(s.channels[0].curveMinAngle, 300.0f - 30 * 0.5f);
    EXPECT_EQ(s.channels[1].curveMax, 0.0f); // the NaN point is 0.0, as all others
    EXPECT_EQ(s.channels[1].curveMin, 0.0f);

    // All points no-samples: the extremes are 0.0 at the first point.
    SignatureRecord empty;
    empty.setWindowStartAngle(90);
    empty.setWindowEndAngle(314);
    for (int i = 0; i < SignatureRecord::PointCount; ++i)
        empty.setCurve(2, i, std::numeric_limits<float>::quiet_NaN());
    const StrokeSummary e = summariseStroke(empty, "e");
    EXPECT_EQ(e.channels[2].curveMax, 0.0f);
    EXPECT_EQ(e.channels[2].curveMaxAngle, 90.0f);
}

TEST(StrokeSummary, TextsThatFillTheirRoomsAndModes)
{
    SignatureRecord r;
    r.setJobName("ABCDEFGHIJKLMNOPQRSTUVWXYZ"); // longer than its 22 bytes
    r.setDateText("12/31/2026X");               // fills all 11 bytes, no NUL
    r.setTimeText("23:59:59");
    r.setMode(2);
    r.setStrokeCount(123456789);
    r.setStrokesPerMinute(42);
    StrokeSummary s = summariseStroke(r, "p");
    EXPECT_EQ(s.job, "ABCDEFGHIJKLMNOPQRSTUV");
    EXPECT_EQ(s.date, "12/31/2026X");
    EXPECT_FALSE(s.timestamp); // trailing text: no date
    EXPECT_EQ(s.mode, "SETUP");
    EXPECT_EQ(s.strokeCount, 123456789);
    EXPECT_EQ(s.strokesPerMinute, 42);

    r.setDateText("12/31/2026");
    r.setMode(9);
    s = summariseStroke(r, "p");
    ASSERT_TRUE(s.timestamp);
    EXPECT_EQ(s.mode, "9"); // a mode without a name keeps its number
}

TEST(StrokeSummary, OrderIsTimestampThenStrokeCountThenPathWithUndatedLast)
{
    const auto make = [](std::optional<std::int64_t> t, std::int32_t count, std::string path) {
        StrokeSummary s;
        s.timestamp = t;
        s.strokeCount = count;
        s.path = std::move(path);
        return s;
    };
    EXPECT_TRUE(strokeOrderBefore(make(5, 9, "z"), make(6, 1, "a")));
    EXPECT_TRUE(strokeOrderBefore(make(5, 1, "z"), make(5, 2, "a")));
    EXPECT_TRUE(strokeOrderBefore(make(5, 1, "a"), make(5, 1, "b")));
    EXPECT_FALSE(strokeOrderBefore(make(5, 1, "a"), make(5, 1, "a")));
    EXPECT_TRUE(strokeOrderBefore(make(-100, 1, "z"), make(std::nullopt, 0, "a"))); // before 1970 is still dated
    EXPECT_FALSE(strokeOrderBefore(make(std::nullopt, 0, "a"), make(7, 1, "z")));
}

} // namespace
