#include "analysis/SummaryTable.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <set>
#include <unistd.h>

namespace {

StrokeSummary sample(std::string path, std::string job)
{
    StrokeSummary s;
    s.path = std::move(path);
    s.job = std::move(job);
    s.date = "01/05/2026";
    s.time = "06:13:29";
    s.timestamp = 20458LL * 86400 + 6 * 3600 + 13 * 60 + 29;
    s.mode = "MONITOR";
    s.strokeCount = 100037;
    s.strokesPerMinute = 30;
    for (std::size_t c = 0; c < 4; ++c) {
        ChannelSummary& ch = s.channels[c];
        ch.peak = 123.45f;
        ch.capacity = 200;
        ch.target = 59;
        ch.plusTol = 10;
        ch.minusTol = 15;
        ch.limits = channelLimits(59, 10, 15, ToleranceUnit::Percent);
        ch.status = limitStatus(ch.peak, ch.limits);
        ch.curveMax = 123.45f;
        ch.curveMaxAngle = 180.5f;
        ch.curveMin = -0.1f;
        ch.curveMinAngle = 90;
    }
    return s;
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (std::size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    EXPECT_EQ(at, text.size()) << "every line ends in CR LF";
    return lines;
}

std::size_t columnIndex(const std::string& name)
{
    const auto& columns = summaryColumns();
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == name)
            return i;
    ADD_FAILURE() << "no column " << name;
    return 0;
}

TEST(SummaryTable, HeaderNamesTheStableColumns)
{
    const std::string csv = summaryCsv({});
    const std::vector<std::string> lines = splitLines(csv);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("File,Date,Time,Timestamp,Job,Mode,SPM,Stroke Count,Peak Ch1,Peak Ch2,Peak Ch3,Peak Ch4,"
                             "Total Peak,Status Ch1,",
                             0),
              0u)
        << lines[0];
    // Every name once; none a spreadsheet would take for a formula.
    std::set<std::string> names;
    for (const SummaryColumn& c : summaryColumns()) {
        EXPECT_TRUE(names.insert(c.name).second) << c.name;
        EXPECT_TRUE(c.name.front() != '+' && c.name.front() != '-' && c.name.front() != '=') << c.name;
    }
}

TEST(SummaryTable, RowsHoldTheValuesWithPointDecimals)
{
    const std::vector<StrokeSummary> rows{sample("dir/H0001", "BRACKET")};
    const std::vector<std::string> lines = splitLines(summaryCsv(rows));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].rfind("dir/H0001,01/05/2026,06:13:29,2026-01-05 06:13:29,BRACKET,MONITOR,30,100037,"
                             "123.45,123.45,123.45,123.45,493.8,HIGH,HIGH,HIGH,HIGH,59,59,59,59,10,10,10,10,15,15,15,"
                             "15,%,50.15,50.15,50.15,50.15,64.9,64.9,64.9,64.9,200,200,200,200,61.725,61.725,61.725,"
                             "61.725,25,25,25,25,123.45,123.45,123.45,123.45,180.5,180.5,180.5,180.5,-0.1,-0.1,-0.1,"
                             "-0.1,90,90,90,90",
                             0),
              0u)
        << lines[1];

    // No limit, no capacity, no peak: empty cells, and the status says why.
    StrokeSummary bare = sample("b", "J");
    bare.channels[0].limits.reset();
    bare.channels[0].status = LimitStatus::NoLimit;
    bare.channels[1].capacity = 0;
    bare.channels[2].peak = std::numeric_limits<float>::quiet_NaN();
    bare.channels[2].status = LimitStatus::NoPeak;
    bare.timestamp.reset();
    EXPECT_EQ(columnText(bare, summaryColumns()[columnIndex("Low Limit Ch1")]), "");
    EXPECT_EQ(columnText(bare, summaryColumns()[columnIndex("Status Ch1")]), "NO LIMIT");
    EXPECT_EQ(columnText(bare, summaryColumns()[columnIndex("Capacity % Ch2")]), "");
    EXPECT_EQ(columnText(bare, summaryColumns()[columnIndex("Peak Ch3")]), "");
    EXPECT_EQ(columnText(bare, summaryColumns()[columnIndex("Status Ch3")]), "NO PEAK");
    EXPECT_EQ(columnText(bare, summaryColumns()[columnIndex("Total Peak")]), "");
    EXPECT_EQ(columnText(bare, summaryColumns()[columnIndex("Timestamp")]), "");
    EXPECT_TRUE(std::isnan(columnNumber(bare, summaryColumns()[columnIndex("Load Share % Ch1")])));
}

TEST(SummaryTable, QuotesTextsThatHoldSeparatorsQuotesOrLineBreaks)
{
    const std::vector<StrokeSummary> rows{sample("a,b/H1", "say \"hi\""), sample("c/H2", "line\r\nbreak"),
                                          sample("d/H3", "plain; text")};
    const std::string csv = summaryCsv(rows);
    EXPECT_NE(csv.find("\r\n\"a,b/H1\",01/05/2026,"), std::string::npos);
    EXPECT_NE(csv.find(",\"say \"\"hi\"\"\",MONITOR,"), std::string::npos);
    EXPECT_NE(csv.find(",\"line\r\nbreak\",MONITOR,"), std::string::npos);
    EXPECT_NE(csv.find(",plain; text,MONITOR,"), std::string::npos);
}

TEST(SummaryTable, SortsAndStoresWholeReplacingALinkNotItsTarget)
{
    std::vector<StrokeSummary> rows{sample("b", "J"), sample("a", "J"), sample("c", "J")};
    rows[2].strokeCount = 5;   // same time, smaller count: first
    rows[1].timestamp.reset(); // no time: last
    sortStrokes(rows);
    EXPECT_EQ(rows[0].path, "c");
    EXPECT_EQ(rows[1].path, "b");
    EXPECT_EQ(rows[2].path, "a");

    TempDir dir;
    const std::string outside = dir.file("outside.txt");
    writeWholeFile(outside, "keep");
    const std::string out = dir.file("summary.csv");
    ASSERT_EQ(::symlink(outside.c_str(), out.c_str()), 0);
    ASSERT_TRUE(storeSummaryCsv(out, rows));
    EXPECT_EQ(readWholeFile(outside), "keep");
    EXPECT_FALSE(std::filesystem::is_symlink(out));
    EXPECT_EQ(readWholeFile(out), summaryCsv(rows));
    EXPECT_FALSE(storeSummaryCsv(dir.file("missing/summary.csv"), rows));
}

} // namespace
