// The window's batch: two different files that map to one report name must not
// leave one report counted twice, with the earlier stroke silently lost.
#include "convert/BatchProcedure.h"
#include "RecordingHost.h"
#include "TempDir.h"
#include "samplegen/SampleSignature.h"
#include "signature/CsvReport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class BatchProcedureTest : public ::testing::Test
{
protected:
    TempDir dir;
    std::string out = dir.file("out");
    RecordingHost host;
    // The record the batch reads every file into.
    SignatureRecord record;

    void SetUp() override
    {
        fs::create_directories(dir.path() / "A");
        fs::create_directories(dir.path() / "B");
        fs::create_directory(out);
        host.target = out + "/No Prefix";
    }
    // A signature file at name (under dir) holding sample index.
    std::string sample(const std::string& name, std::uint32_t index)
    {
        const SignatureRecord r = makeSampleSignature(index);
        writeWholeFile(dir.file(name), std::string(reinterpret_cast<const char*>(r.bytes.data()), r.bytes.size()));
        return dir.file(name);
    }
    static std::string reportOf(std::uint32_t index) { return formatCsvReport(makeSampleSignature(index)); }
    static std::string taken(const std::string& report, const std::string& earlier)
    {
        return "Error! Cannot create  " + report + "  Continue?\n(its report would replace the one just written from " +
               earlier + ")";
    }
};

} // namespace

TEST_F(BatchProcedureTest, SameNameFromAnotherFileAsksAndKeepsTheEarlierReport)
{
    struct Case
    {
        const char* earlier;
        const char* later;
    };
    for (const Case c :
         {Case{"A/H0001.wav", "B/H0001.wav"}, Case{"A/H0001", "A/H0001.wav"}, Case{"A/H0001.wav", "B/H0001"}}) {
        fs::remove_all(out);
        fs::create_directory(out);
        RecordingHost run;
        run.target = host.target;
        run.items = {sample(c.earlier, 1), sample("A/H0002.wav", 2), sample(c.later, 3), sample("B/H0004.wav", 4)};
        run.answers = {true};

        EXPECT_EQ(runBatchConversion(run, BatchItems::All, record), 3) << c.later;
        EXPECT_EQ(run.questions, std::vector<std::string>{taken(out + "/H0001.csv", run.items[0])}) << c.later;
        EXPECT_EQ(run.result, "3 file(s) has been converted successfully!!");
        EXPECT_EQ(readWholeFile(out + "/H0001.csv"), reportOf(1)) << c.later;
        EXPECT_EQ(listDirectory(out), "H0001.csv H0002.csv H0004.csv");
        fs::remove(run.items[2]); // the next case may use the name without its extension
    }
}

TEST_F(BatchProcedureTest, CancelAtTheQuestionEndsTheBatch)
{
    host.items = {sample("A/H0001.wav", 1), sample("B/H0001.wav", 2), sample("B/H0003.wav", 3)};
    host.answers = {false};
    EXPECT_EQ(runBatchConversion(host, BatchItems::All, record), 1);
    EXPECT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(listDirectory(out), "H0001.csv");
    EXPECT_EQ(readWholeFile(out + "/H0001.csv"), reportOf(1));
}

// The same file again is no other file: listed twice, or spelt another way, or
// through a link, it is converted again and counted again, without a question.
TEST_F(BatchProcedureTest, TheSameFileAgainIsConvertedAgain)
{
    const std::string a = sample("A/H0001.wav", 1);
    ASSERT_EQ(::symlink(a.c_str(), dir.file("B/H0001.wav").c_str()), 0);
    host.items = {a, a, dir.file("A/./H0001.wav"), dir.file("B/H0001.wav")};
    EXPECT_EQ(runBatchConversion(host, BatchItems::All, record), 4);
    EXPECT_EQ(host.questions, std::vector<std::string>{});
    EXPECT_EQ(readWholeFile(out + "/H0001.csv"), reportOf(1));
}

// Only what this batch wrote is protected: a report from an earlier batch is
// replaced as always, and an earlier input that produced no report (missing,
// or no signature) leaves the name free for the next one.
TEST_F(BatchProcedureTest, OnlyReportsWrittenInThisBatchAreKept)
{
    writeWholeFile(out + "/H0001.csv", "report of an earlier batch\r\n");
    const std::string shortFile = dir.file("A/H0002.wav");
    writeWholeFile(shortFile, "too short");
    host.items = {sample("A/H0001.wav", 1), dir.file("A/H0003.wav"), sample("B/H0003.wav", 3), shortFile,
                  sample("B/H0002.wav", 2)};
    host.answers = {true, true};
    EXPECT_EQ(runBatchConversion(host, BatchItems::All, record), 3);
    EXPECT_EQ(host.questions.size(), 2u);
    EXPECT_EQ(readWholeFile(out + "/H0001.csv"), reportOf(1));
    EXPECT_EQ(readWholeFile(out + "/H0002.csv"), reportOf(2));
    EXPECT_EQ(readWholeFile(out + "/H0003.csv"), reportOf(3));
}

// Another command may confirm a new target while the batch runs: the same name
// in the new folder is free, and back in the first folder it is taken again.
TEST_F(BatchProcedureTest, ReportsAreKeptByTheirFullPathAcrossATargetChange)
{
    const std::string other = dir.file("other");
    fs::create_directory(other);
    host.items = {sample("A/H0001.wav", 1), sample("B/H0001.wav", 2), sample("A/H0001", 3)};
    host.betweenFiles = [&](int written) { host.target = written == 1 ? other + "/P" : out + "/No Prefix"; };
    host.answers = {true};
    EXPECT_EQ(runBatchConversion(host, BatchItems::All, record), 2);
    EXPECT_EQ(host.questions, std::vector<std::string>{taken(out + "/H0001.csv", host.items[0])});
    EXPECT_EQ(readWholeFile(out + "/H0001.csv"), reportOf(1));
    EXPECT_EQ(readWholeFile(other + "/P-H0001.csv"), reportOf(2));
}

// A signature saved under its report's name, in the folder the reports go to:
// the window asks, with the reason on a line of its own, and keeps the file.
TEST_F(BatchProcedureTest, FileThatIsItsOwnReportAsksWithTheReason)
{
    const std::string own = sample("out/H0001.csv", 1);
    const std::string signature = readWholeFile(own);
    host.items = {own, sample("A/H0002.wav", 2)};
    host.answers = {true};
    EXPECT_EQ(runBatchConversion(host, BatchItems::All, record), 1);
    EXPECT_EQ(host.questions, std::vector<std::string>{"Error! Cannot create  " + out +
                                                       "/H0001.csv  Continue?\n(its report would replace the file "
                                                       "itself)"});
    EXPECT_TRUE(readWholeFile(own) == signature) << "the signature was replaced";
    EXPECT_EQ(readWholeFile(out + "/H0002.csv"), reportOf(2));
}
