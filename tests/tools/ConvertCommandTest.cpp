#include "CommandRunner.h"
#include "samplegen/SampleSignature.h"
#include "signature/CsvReport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class ConvertCommandTest : public ConverterTest
{
};

} // namespace

TEST_F(ConvertCommandTest, ConvertsEveryFileWithTheNamingRule)
{
    const auto a = sample("H0001.wav", 0), b = sample("H0002", 1);
    CommandRun r = runConverter({"-o", out.path().string(), "-p", "Line 3", a, b}, scratch);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "2 of 2 file(s) converted\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(listDirectory(out.path()), "Line 3-H0001.csv Line 3-H0002.csv");

    r = runConverter({"--output", out.path().string(), "-j", "1", a}, scratch);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(std::filesystem::exists(out.path() / "H0001.csv"));
}

TEST_F(ConvertCommandTest, DefaultsToTheCurrentDirectory)
{
    const auto a = sample("H0001.wav", 0);
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(out.path());
    const CommandRun r = runConverter({a}, scratch);
    std::filesystem::current_path(cwd);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(listDirectory(out.path()), "H0001.csv");
}

TEST_F(ConvertCommandTest, PartialFailureIsReportedAndTheRestConverted)
{
    const auto a = sample("H0001.wav", 0), c = sample("H0003.wav", 2);
    const std::string missing = in.file("H0002.wav");
    const CommandRun r = runConverter({"-o", out.path().string(), a, missing, in.path().string(), c}, scratch);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "2 of 4 file(s) converted\n");
    EXPECT_NE(r.err.find("cannot open " + missing + ": No such file or directory"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("cannot open " + in.path().string() + ": Is a directory"), std::string::npos) << r.err;
    EXPECT_EQ(listDirectory(out.path()), "H0001.csv H0003.csv");
}

TEST_F(ConvertCommandTest, UnwritableDirectoryFailsEveryFile)
{
    const auto a = sample("H0001.wav", 0);
    const std::string nowhere = out.file("missing");
    const CommandRun r = runConverter({"-o", nowhere, a}, scratch);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write " + nowhere + "/H0001.csv"), std::string::npos) << r.err;
}

// Inputs sharing report names (same base name in two folders, with and
// without extension): on four threads the first file of each name keeps its
// report, every later one is named on stderr with the earlier one, and the
// run exits with 1.
TEST_F(ConvertCommandTest, EarlierReportStaysAndLaterSameNameFailsOnAnyNumberOfThreads)
{
    std::vector<std::string> args{"-o", out.path().string(), "-j", "4"};
    std::filesystem::create_directory(in.path() / "x");
    for (std::uint32_t i = 0; i < 6; ++i)
        args.push_back(sample("H" + std::to_string(i % 3) + (i < 3 ? ".wav" : ""), i));
    args.push_back(sample("x/H1", 99));
    args.push_back(args[4]); // H0.wav again: the same file, converted again
    const CommandRun r = runConverter(args, scratch);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, "4 of 8 file(s) converted\n");
    for (std::uint32_t i = 0; i < 3; ++i) {
        const std::string report = out.file("H" + std::to_string(i) + ".csv");
        EXPECT_EQ(readWholeFile(report), formatCsvReport(makeSampleSignature(i)));
        const std::string earlier = in.file("H" + std::to_string(i) + ".wav");
        const std::string later = in.file("H" + std::to_string(i));
        EXPECT_NE(r.err.find("quorvex-convert: cannot write " + report + " (from " + later +
                             "): its report would replace the one just written from " + earlier + "\n"),
                  std::string::npos)
            << r.err;
    }
    EXPECT_NE(r.err.find("(from " + in.file("x/H1") + "): its report would replace the one just written from " +
                         in.file("H1.wav")),
              std::string::npos)
        << r.err;
    EXPECT_EQ(listDirectory(out.path()), "H0.csv H1.csv H2.csv");
}

// Truncated, empty and audio files are named with their reason and get no
// report; a report an earlier run left under such a name stays.
TEST_F(ConvertCommandTest, FilesThatAreNoSignatureAreNamedWithTheirReason)
{
    const auto good = sample("H0001.wav", 0);
    writeWholeFile(in.file("H0002.wav"), readWholeFile(good).substr(0, 100));
    writeWholeFile(in.file("H0003.wav"), "");
    writeWholeFile(in.file("H0004.wav"), makeWaveAudio(16000));
    writeWholeFile(in.file("H0005.wav"), makeWaveAudio(400));
    writeWholeFile(out.file("H0004.csv"), "report of an earlier run\r\n");
    const CommandRun r = runConverter({"-o", out.path().string(), good, in.file("H0002.wav"), in.file("H0003.wav"),
                                       in.file("H0004.wav"), in.file("H0005.wav")},
                                      scratch);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "1 of 5 file(s) converted\n");
    const std::pair<std::string, std::string> reasons[] = {{"H0002.wav", "only 100 of 27,884 bytes"},
                                                           {"H0003.wav", "an empty file, not a signature"},
                                                           {"H0004.wav", "an audio file, not a signature"},
                                                           {"H0005.wav", "an audio file, not a signature"}};
    for (const auto& [name, reason] : reasons)
        EXPECT_NE(r.err.find("quorvex-convert: cannot open " + in.file(name) + ": " + reason + "\n"), std::string::npos)
            << r.err;
    EXPECT_EQ(listDirectory(out.path()), "H0001.csv H0004.csv");
    EXPECT_EQ(readWholeFile(out.file("H0004.csv")), "report of an earlier run\r\n");
}

TEST_F(ConvertCommandTest, UsageErrorsExitWithTwo)
{
    const std::vector<std::vector<std::string>> bad = {
        {}, {"-o", "/tmp"}, {"--bogus", "x"}, {"-j", "0", "x"}, {"-j", "many", "x"}, {"-o"}};
    for (const auto& args : bad) {
        const CommandRun r = runConverter(args, scratch);
        EXPECT_EQ(r.status, 2) << (args.empty() ? "(none)" : args[0]);
        EXPECT_NE(r.err.find("--help"), std::string::npos);
    }
    CommandRun r = runConverter({"--help"}, scratch);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Usage: quorvex-convert"), std::string::npos);
    r = runConverter({"--version"}, scratch);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("quorvex-convert ", 0), 0u);
}

TEST_F(ConvertCommandTest, WatchOnceConvertsTheFolderBySignatureMask)
{
    sample("H0001", 0);
    sample("h0002", 1);
    sample("H0003.wav", 2);
    sample("Hx.txt", 3);
    sample("x0004", 4);
    const CommandRun r =
        runConverter({"--watch", in.path().string(), "--once", "-o", out.path().string(), "-p", "S"}, scratch);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(" 2 of 2 file(s) converted"), std::string::npos) << r.out;
    EXPECT_EQ(listDirectory(out.path()), "S-H0001.csv S-h0002.csv");

    // A truncated or audio file in the folder is skipped and named.
    writeWholeFile(in.file("H0005"), "truncated");
    writeWholeFile(in.file("H0006"), makeWaveAudio(16000));
    const CommandRun bad =
        runConverter({"--watch", in.path().string(), "--once", "-o", out.path().string(), "-p", "S"}, scratch);
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.out.find(" 2 of 4 file(s) converted"), std::string::npos) << bad.out;
    EXPECT_NE(bad.err.find("cannot open " + in.file("H0005") + ": only 9 of 27,884 bytes\n"), std::string::npos)
        << bad.err;
    EXPECT_NE(bad.err.find("cannot open " + in.file("H0006") + ": an audio file, not a signature\n"), std::string::npos)
        << bad.err;
    EXPECT_EQ(listDirectory(out.path()), "S-H0001.csv S-h0002.csv");

    const CommandRun missing = runConverter({"--watch", in.file("gone"), "--once"}, scratch);
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("cannot read " + in.file("gone")), std::string::npos);
}

TEST_F(ConvertCommandTest, WatchNeedsAnIntervalOrOnce)
{
    for (const auto& args : std::vector<std::vector<std::string>>{{"--watch", "/tmp"},
                                                                  {"--watch", "/tmp", "--every", "0"},
                                                                  {"--watch", "/tmp", "--every", "-1"},
                                                                  {"--watch", "/tmp", "--every", "soon"},
                                                                  {"--watch", "/tmp", "--once", "--every", "1"},
                                                                  {"--watch", "/tmp", "--once", "file"},
                                                                  {"--once", "file"}})
        EXPECT_EQ(runConverter(args, scratch).status, 2) << args.back();
}

// SIGTERM in the middle of a pass ends the watch between two files: it exits
// promptly, with the status of a run stopped by SIGTERM, and every report it
// leaves is complete.
TEST_F(ConvertCommandTest, WatchStopsOnSigtermLeavingOnlyCompleteReports)
{
    const int count = 400;
    for (int i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "H%04d", i);
        sample(name, static_cast<std::uint32_t>(i));
    }
    const pid_t pid = startConverter(
        {"--watch", in.path().string(), "--every", "0.05", "-j", "1", "-o", out.path().string()}, scratch);
    ASSERT_GT(pid, 0);
    for (int wait = 0; wait < 500 && std::distance(std::filesystem::directory_iterator(out.path()), {}) < 20; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ::kill(pid, SIGTERM);
    const auto sent = std::chrono::steady_clock::now();
    const CommandRun r = finishConverter(pid, scratch);
    EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::seconds(5));
    EXPECT_EQ(r.status, 128 + SIGTERM) << r.err;

    int reports = 0;
    for (const auto& e : std::filesystem::directory_iterator(out.path())) {
        const std::string name = e.path().filename().string();
        ASSERT_EQ(name.size(), 9u) << "left behind: " << name; // Hnnnn.csv, no temporary file
        const int index = std::stoi(name.substr(1, 4));
        SignatureRecord record = makeSampleSignature(static_cast<std::uint32_t>(index));
        EXPECT_EQ(readWholeFile(e.path().string()), formatCsvReport(record)) << name;
        ++reports;
    }
    EXPECT_GE(reports, 20);
    EXPECT_LT(reports, count) << "the signal came after the pass had ended";
}
