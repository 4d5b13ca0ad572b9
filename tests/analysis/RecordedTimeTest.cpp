#include "analysis/RecordedTime.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordedTime, ReadsMonthFirstDatesWithTwoOrFourDigitYears)
{
    // 2026-01-05 06:13:29: 20458 days after 1970-01-01.
    const std::int64_t expected = 20458LL * 86400 + 6 * 3600 + 13 * 60 + 29;
    EXPECT_EQ(recordedTime("01/05/2026", "06:13:29"), expected);
    EXPECT_EQ(recordedTime("1/5/26", "6:13:29"), expected);
    EXPECT_EQ(recordedTime(" 1/5/26 ", " 06:13:29"), expected);
    EXPECT_EQ(recordedTimeText(expected), "2026-01-05 06:13:29");
    // Two-digit years as POSIX reads them.
    EXPECT_EQ(recordedTimeText(*recordedTime("12/31/99", "23:59:59")), "1999-12-31 23:59:59");
    EXPECT_EQ(recordedTimeText(*recordedTime("1/1/69", "0:0:0")), "1969-01-01 00:00:00");
    EXPECT_EQ(recordedTimeText(*recordedTime("1/1/68", "0:0:0")), "2068-01-01 00:00:00");
    EXPECT_EQ(recordedTimeText(*recordedTime("2/29/2024", "12:00:00")), "2024-02-29 12:00:00");
    EXPECT_LT(*recordedTime("12/31/1969", "23:59:59"), 0);
}

TEST(RecordedTime, RefusesWhatItCannotBeSureOf)
{
    const char* badDates[] = {"",           "13/01/2026", "0/10/2026", "2/30/2026", "2/29/2025", "01-05-2026",
                              "2026/01/05", "1/5/202",    "1/5/20266", "1/5",       "1/5/26/1",  "1/5/26x",
                              "+1/5/26",    "001/5/26",   "1/ 5/26",   "1//26"};
    for (const char* d : badDates)
        EXPECT_FALSE(recordedTime(d, "10:00:00")) << d;
    const char* badTimes[] = {"",         "24:00:00",    "10:60:00", "10:00:60", "10:00",
                              "10.00.00", "10:00:00 PM", "-1:00:00", "100:00:00"};
    for (const char* t : badTimes)
        EXPECT_FALSE(recordedTime("1/5/2026", t)) << t;
}

} // namespace
