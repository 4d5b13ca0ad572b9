#include "CommandRunner.h"
#include "analysis/SummaryScan.h"
#include "analysis/SummaryTable.h"
#include "samplegen/SampleSignature.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace {

class SummaryCommandTest : public ConverterTest
{
protected:
    // The summary file the library makes of paths, read in this process.
    static std::string expectedSummary(const std::vector<std::string>& paths)
    {
        std::vector<StrokeSummary> rows;
        SignatureRecord record;
        for (const std::string& p : paths)
            if (ScannedFile f = summariseFile(p, record); f.summary)
                rows.push_back(std::move(*f.summary));
        sortStrokes(rows);
        return summaryCsv(rows);
    }
    static std::size_t lineCount(const std::string& text)
    {
        return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    }
};

} // namespace

TEST_F(SummaryCommandTest, WritesOneSortedRowPerReadableFileAndNamesTheRest)
{
    // Listed out of time order: samples 30 and 5 are dated before 40.
    const auto a = sample("H0040.wav", 40), b = sample("H0005.wav", 5), c = sample("H0030", 30);
    const std::string missing = in.file("H0002.wav");
    writeWholeFile(in.file("H0003.wav"), makeWaveAudio(16000));
    const std::string summary = out.file("summary.csv");

    CommandRun r = runConverter({"--summary", summary, a, b, c}, scratch);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "3 of 3 file(s) summarised\n");
    const std::string csv = readWholeFile(summary);
    EXPECT_EQ(csv, expectedSummary({a, b, c}));
    EXPECT_EQ(lineCount(csv), 4u);
    EXPECT_LT(csv.find(b), csv.find(c));
    EXPECT_LT(csv.find(c), csv.find(a));
    EXPECT_EQ(listDirectory(out.path()), "summary.csv"); // no reports

    r = runConverter({"--summary", summary, "-j", "3", a, missing, b, in.file("H0003.wav")}, scratch);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "2 of 4 file(s) summarised\n");
    EXPECT_NE(r.err.find("cannot open " + missing + ": No such file or directory\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("cannot open " + in.file("H0003.wav") + ": an audio file, not a signature\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(readWholeFile(summary), expectedSummary({a, b}));
}

TEST_F(SummaryCommandTest, StatsPrintTheTableAndAFolderIsReadAsWatchReadsIt)
{
    sample("H0001", 0);
    sample("H0002", 1);
    sample("H0003.wav", 2);                                                      // not a name the folder pass takes
    ASSERT_EQ(::symlink(in.file("H0001").c_str(), in.file("H0009").c_str()), 0); // links are not followed
    const std::string summary = out.file("s.csv");
    const CommandRun r =
        runConverter({"--watch", in.path().string(), "--once", "--summary", summary, "--stats"}, scratch);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Channel  Count", 0), 0u) << r.out;
    EXPECT_EQ(lineCount(r.out), 5u);
    EXPECT_NE(r.out.find("\nCh4 "), std::string::npos);
    EXPECT_EQ(readWholeFile(summary), expectedSummary({in.file("H0001"), in.file("H0002")}));

    // --stats alone writes nothing.
    const CommandRun statsOnly = runConverter({"--stats", in.file("H0001")}, scratch);
    EXPECT_EQ(statsOnly.status, 0);
    std::istringstream table(statsOnly.out.substr(std::min(statsOnly.out.find("\nCh1 "), statsOnly.out.size())));
    std::string channel, count;
    table >> channel >> count;
    EXPECT_EQ(channel + " " + count, "Ch1 1") << statsOnly.out;
    EXPECT_EQ(listDirectory(out.path()), "s.csv");
}

TEST_F(SummaryCommandTest, NeverReplacesAnInputOrWritesThroughALink)
{
    const auto a = sample("H0001.wav", 0);
    const std::string before = readWholeFile(a);
    CommandRun r = runConverter({"--summary", a, a}, scratch);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("it is the input"), std::string::npos) << r.err;
    EXPECT_EQ(readWholeFile(a), before);

    const std::string outside = out.file("outside.txt");
    writeWholeFile(outside, "keep");
    const std::string summary = out.file("summary.csv");
    ASSERT_EQ(::symlink(outside.c_str(), summary.c_str()), 0);
    r = runConverter({"--summary", summary, a}, scratch);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readWholeFile(outside), "keep");
    EXPECT_FALSE(std::filesystem::is_symlink(summary));

    r = runConverter({"--summary", out.file("missing/summary.csv"), a}, scratch);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write " + out.file("missing/summary.csv")), std::string::npos) << r.err;
}

TEST_F(SummaryCommandTest, UsageErrorsExitWithTwo)
{
    for (const auto& args : std::vector<std::vector<std::string>>{{"--summary"},
                                                                  {"--summary", ""},
                                                                  {"--summary", "s.csv"},
                                                                  {"--stats"},
                                                                  {"--summary", "s.csv", "-o", "/tmp", "f"},
                                                                  {"--stats", "-p", "X", "f"},
                                                                  {"--stats", "--watch", "/tmp"},
                                                                  {"--stats", "--watch", "/tmp", "--every", "1"},
                                                                  {"--stats", "--once", "f"}}) {
        const CommandRun r = runConverter(args, scratch);
        EXPECT_EQ(r.status, 2) << args.back();
        EXPECT_NE(r.err.find("--help"), std::string::npos);
    }
}
