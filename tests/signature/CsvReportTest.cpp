#include "signature/CsvReport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <limits>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Row = std::array<int, 4>;

void setChannels(SignatureRecord& r, void (SignatureRecord::*set)(int, std::int16_t), Row values)
{
    for (int c = 0; c < 4; ++c)
        (r.*set)(c, static_cast<std::int16_t>(values[c]));
}

// The records below are also described, value for value, in
// golden/make_golden.py, which wrote the expected reports.
SignatureRecord edgeRecord()
{
    SignatureRecord r;
    r.setDateText("12/03/2026");
    r.setTimeText("14:32:07");
    r.setJobName("PRESS,7 \"A\"");
    r.setStrokesPerMinute(42);
    r.setWindowStartAngle(90);
    r.setWindowEndAngle(314);
    r.setStepDegreeTenths(5);
    r.setStrokeCount(std::numeric_limits<std::int32_t>::min());
    r.setMode(4);
    const float peaks[] = {12.34f, -0.04f, 999.95f, 12345.67f};
    for (int c = 0; c < 4; ++c)
        r.setPeak(c, peaks[c]);
    setChannels(r, &SignatureRecord::setCapacity, {150, -1, 32767, -32768});
    setChannels(r, &SignatureRecord::setTarget, {75, 0, 1, -5});
    setChannels(r, &SignatureRecord::setSample, {123, -7, 0, 32767});
    r.setToleranceInTons(true);
    setChannels(r, &SignatureRecord::setPlusTolerance, {5, 5, 5, 5});
    setChannels(r, &SignatureRecord::setMinusTolerance, {5, 6, 7, 8});
    setChannels(r, &SignatureRecord::setEFactor, {101, 101, 101, 101});
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float special[] = {-10000.0f, -9999.0f, nan, 1.0e9f,   -1.0e9f, 0.25f,
                             0.35f,     -0.04f,   inf, -9999.5f, 12.34f,  -0.0f};
    for (int c = 0; c < 4; ++c)
        for (int i = 0; i < 448; ++i)
            r.setCurve(c, i, static_cast<float>((i - 100) * 0.37 + c * 1.05));
    for (int i = 0; i < 12; ++i)
        r.setCurve(i % 4, i, special[i]);
    return r;
}

SignatureRecord windowRecord()
{
    SignatureRecord r;
    r.setDateText("DATE-FULL!!");
    r.setTimeText(std::string(40, 'T'));
    r.setJobName(std::string(22, 'J'));
    r.setStrokesPerMinute(-3);
    r.setWindowStartAngle(200);
    r.setWindowEndAngle(200);
    r.setStepDegreeTenths(10);
    r.setStrokeCount(7);
    r.setMode(1);
    const float peaks[] = {0.05f, 0.15f, 0.25f, -0.25f};
    for (int c = 0; c < 4; ++c)
        r.setPeak(c, peaks[c]);
    setChannels(r, &SignatureRecord::setCapacity, {1, 2, 3, 4});
    setChannels(r, &SignatureRecord::setTarget, {4, 3, 2, 1});
    setChannels(r, &SignatureRecord::setSample, {-1, -2, -3, -4});
    setChannels(r, &SignatureRecord::setPlusTolerance, {10, 20, 30, 40});
    setChannels(r, &SignatureRecord::setMinusTolerance, {1, 2, 3, 4});
    setChannels(r, &SignatureRecord::setEFactor, {-5, 0, 5, 1010});
    for (int c = 0; c < 4; ++c)
        for (int i = 0; i < 448; ++i)
            r.setCurve(c, i, static_cast<float>((i % 7) * 0.05 - c));
    return r;
}

std::string golden(const std::string& name)
{
    return readWholeFile(std::string(QD_TEST_DATA_DIR) + "/signature/golden/" + name + ".csv");
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto eol = text.find("\r\n", pos);
        if (eol == std::string::npos) {
            out.push_back(text.substr(pos) + "<no CR LF>");
            break;
        }
        out.push_back(text.substr(pos, eol - pos));
        pos = eol + 2;
    }
    return out;
}

} // namespace

TEST(CsvReport, MatchesGoldenReportsByteForByte)
{
    TempDir dir;
    const std::pair<std::string, SignatureRecord> cases[] = {
        {"zero", SignatureRecord{}}, {"edge", edgeRecord()}, {"window", windowRecord()}};
    for (auto [name, record] : cases) {
        const std::string path = dir.file(name + ".csv");
        ASSERT_EQ(WriteCsvReport(path, record), 1) << name;
        EXPECT_EQ(readWholeFile(path), golden(name)) << name;
    }
}

TEST(CsvReport, HeaderLinesFollowTheRecord)
{
    SignatureRecord r = edgeRecord();
    auto l = lines(formatCsvReport(r));
    const std::string lastRow = l.back();
    ASSERT_EQ(l.size(), 22u + 448u);
    EXPECT_EQ(l[6], "Look Window Step Degree Set:, 0.5");
    EXPECT_EQ(l[8], "Current Mode:, MONITOR");
    EXPECT_EQ(l[11], "Peak:,  12.3,  -0.0,1000.0,12345.7");
    EXPECT_EQ(l[15], "Sample:,123.0,-7.0,0.0,32767.0");
    EXPECT_EQ(l[16], "+Tol:,5t,5t,5t,5t");
    EXPECT_EQ(l[17], "-Tol:,5t,6t,7t,8t");
    EXPECT_EQ(l[18], "EFactor:,10.1,10.0,10.0,10.0");
    EXPECT_EQ(l[22].substr(0, 7), "   90.0");
    EXPECT_EQ(l[23].substr(0, 7), "   90.5");
    EXPECT_EQ(l.back().substr(0, 7), "  313.5");

    // Without a named mode the line is left out; percentages when not in tons.
    r.setMode(0);
    r.setStepDegreeTenths(10);
    r.setToleranceInTons(false);
    l = lines(formatCsvReport(r));
    ASSERT_EQ(l.size(), 21u + 448u);
    EXPECT_EQ(l[6], "Look Window Step Degree Set:, 1.0");
    EXPECT_EQ(l[7], "Stroke Count:, -2147483648");
    EXPECT_EQ(l[8], " ");
    EXPECT_EQ(l[15], "+Tol:,5%,5%,5%,5%");
    EXPECT_EQ(l[16], "-Tol:,5%,6%,7%,8%");
    EXPECT_EQ(l.back(), lastRow);
}

// The writer clears no-sample values in the record it was given, but only once
// its file exists: a report that cannot be created leaves the record alone.
TEST(CsvReport, NoSamplesAreClearedInTheRecordOnlyWhenWritten)
{
    TempDir dir;
    SignatureRecord r = edgeRecord();
    EXPECT_EQ(WriteCsvReport(dir.file("missing/sub/x.csv"), r), -1);
    EXPECT_EQ(r.curve(0, 0), -10000.0f);
    EXPECT_TRUE(std::isnan(r.curve(2, 2)));

    ASSERT_EQ(WriteCsvReport(dir.file("x.csv"), r), 1);
    EXPECT_EQ(r.curve(0, 0), 0.0f);
    EXPECT_EQ(r.curve(2, 2), 0.0f);
    EXPECT_EQ(r.curve(1, 9), 0.0f);
    EXPECT_EQ(r.curve(1, 1), -9999.0f);
    const auto l = lines(readWholeFile(dir.file("x.csv")));
    EXPECT_EQ(l[22], "   90.0,   0.0, -36.0, -34.9, -33.8");
    EXPECT_EQ(l[23], "   90.5, -36.6,-9999.0, -34.5, -33.5");
}

TEST(CsvReport, ReplacesAnExistingReportWholeAndLeavesNoTemporaryFile)
{
    TempDir dir;
    const std::string path = dir.file("H0001.csv");
    writeWholeFile(path, std::string(100000, 'x'));
    ::chmod(path.c_str(), 0640);
    SignatureRecord r{};
    ASSERT_EQ(WriteCsvReport(path, r), 1);
    EXPECT_EQ(readWholeFile(path), golden("zero"));
    EXPECT_EQ(listDirectory(dir.path()), "H0001.csv");
    struct stat st
    {
    };
    ::stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u) << "the report keeps its permissions";
}

TEST(CsvReport, ReadOnlyReportOrNonFileTargetIsNotReplaced)
{
    TempDir dir;
    const std::string path = dir.file("H0001.csv");
    writeWholeFile(path, "earlier report");
    ::chmod(path.c_str(), 0444);
    SignatureRecord r{};
    EXPECT_EQ(WriteCsvReport(path, r), -1);
    EXPECT_EQ(readWholeFile(path), "earlier report");

    ::mkdir(dir.file("adir.csv").c_str(), 0755);
    EXPECT_EQ(WriteCsvReport(dir.file("adir.csv"), r), -1);
    EXPECT_EQ(listDirectory(dir.path()), "H0001.csv adir.csv");
}

// Reports go into folders other users may write to: a link planted under a
// report's name must not make the write land on the file it points to. The
// link is replaced by the report; its target keeps what it held.
TEST(CsvReport, ReplacesALinkAtTheReportNameAndLeavesItsTargetAlone)
{
    TempDir dir;
    writeWholeFile(dir.file("real.csv"), "old");
    ASSERT_EQ(::symlink("real.csv", dir.file("link.csv").c_str()), 0);
    SignatureRecord r{};
    ASSERT_EQ(WriteCsvReport(dir.file("link.csv"), r), 1);
    struct stat st
    {
    };
    ASSERT_EQ(::lstat(dir.file("link.csv").c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(readWholeFile(dir.file("link.csv")), golden("zero"));
    EXPECT_EQ(readWholeFile(dir.file("real.csv")), "old");
}

// A disk that fills up while writing must give -1, keep the earlier report and
// leave no partial file. A file-size limit makes writes fail with EFBIG just as
// a full disk fails them with ENOSPC; it runs in a child so the limit stays there.
TEST(CsvReport, FullDiskGivesFailureAndKeepsTheEarlierReport)
{
    TempDir dir;
    const std::string path = dir.file("H0001.csv");
    writeWholeFile(path, "earlier complete report");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        SignatureRecord r = edgeRecord();
        const IoResult result = storeCsvReport(path, r);
        ::_exit(!result.ok && result.error == EFBIG ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the write error was not reported as EFBIG";
    EXPECT_EQ(readWholeFile(path), "earlier complete report");
    EXPECT_EQ(listDirectory(dir.path()), "H0001.csv");
}
