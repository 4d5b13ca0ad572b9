// The batch conversion in the situations users meet: the output folder goes
// away or turns read-only half way, the disk fills up, and the list holds
// things that are not signature files. In every case the user gets the
// question for the file that failed, the batch never hangs, no report that
// was there before is damaged, and no temporary file stays behind.
#include "FaultSupport.h"
#include "RecordingHost.h"
#include "TempDir.h"
#include "convert/BatchProcedure.h"
#include "samplegen/SampleSignature.h"
#include "signature/CsvReport.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using faults::Unsupported;

namespace {

std::string cannotCreate(const std::string& path)
{
    return "Error! Cannot create  " + path + "  Continue?";
}

std::string cannotOpen(const std::string& path)
{
    return "Error! Cannot open  " + path + "  Continue?";
}

std::string converted(int n)
{
    return std::to_string(n) + " file(s) has been converted successfully!!";
}

class BatchFaultTest : public ::testing::Test
{
protected:
    TempDir dir;
    std::string in = dir.file("in");
    std::string out = dir.file("out");
    RecordingHost host;
    // The record the batch reads every file into.
    SignatureRecord record;

    void SetUp() override
    {
        // Open to "nobody" for the cases that drop root.
        ::chmod(dir.path().c_str(), 0755);
        fs::create_directory(in);
        fs::create_directory(out);
        for (unsigned i = 1; i <= 4; ++i) {
            host.items.push_back(in + "/H000" + std::to_string(i) + ".wav");
            faults::writeSample(host.items.back(), i);
        }
        host.target = out + "/No Prefix";
    }
};

} // namespace

TEST_F(BatchFaultTest, OutputFolderRemovedHalfWayAsksForEachLaterFile)
{
    host.betweenFiles = [&](int written) {
        if (written == 1)
            fs::remove_all(out);
    };
    host.answers = {true, false};
    EXPECT_EQ(runBatchConversion(host, BatchItems::All, record), 1);
    EXPECT_EQ(host.questions,
              (std::vector<std::string>{cannotCreate(out + "/H0002.csv"), cannotCreate(out + "/H0003.csv")}));
    EXPECT_EQ(host.result, converted(1));
    EXPECT_FALSE(fs::exists(out)) << "the batch must not bring the removed folder back";
    EXPECT_EQ(faults::leftoverTemporaries(dir.path()), std::vector<std::string>{});
}

// Root writes into read-only folders, so the batch runs as "nobody" in a child
// that owns the output folder and takes its own write permission away.
TEST_F(BatchFaultTest, OutputFolderMadeReadOnlyHalfWayKeepsTheEarlierReports)
{
    writeWholeFile(out + "/H0003.csv", "report of an earlier batch\r\n");
    ASSERT_EQ(::chown(out.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chown((out + "/H0003.csv").c_str(), 65534, 65534), 0);

    const int status = faults::inChild([&] {
        if (!faults::becomeNobody())
            return Unsupported;
        host.betweenFiles = [&](int written) {
            if (written == 1)
                ::chmod(out.c_str(), 0555);
        };
        host.answers = {true, true, true};
        const int n = runBatchConversion(host, BatchItems::All, record);
        const std::vector<std::string> expected{cannotCreate(out + "/H0002.csv"), cannotCreate(out + "/H0003.csv"),
                                                cannotCreate(out + "/H0004.csv")};
        return n == 1 && host.questions == expected && host.result == converted(1) ? 0 : 1;
    });
    if (status == Unsupported)
        GTEST_SKIP() << "cannot run as nobody here";
    ::chmod(out.c_str(), 0755);
    EXPECT_EQ(status, 0) << "the batch did not ask once for each file after the folder became read-only";
    EXPECT_EQ(listDirectory(out), "H0001.csv H0003.csv");
    EXPECT_EQ(readWholeFile(out + "/H0003.csv"), "report of an earlier batch\r\n");
    EXPECT_EQ(faults::leftoverTemporaries(dir.path()), std::vector<std::string>{});
}

// A real full disk: a 64 KiB tmpfs takes about three reports, then every
// write fails with ENOSPC. The reports already there stay whole.
TEST_F(BatchFaultTest, DiskFillingUpAsksAndLeavesOnlyWholeReports)
{
    for (unsigned i = 5; i <= 8; ++i) {
        host.items.push_back(in + "/H000" + std::to_string(i) + ".wav");
        faults::writeSample(host.items.back(), i);
    }
    const std::string earlier = "report of an earlier batch\r\n";
    const int status = faults::inChild([&] {
        if (!faults::mountSmallDisk(out, 64 * 1024))
            return Unsupported;
        writeWholeFile(out + "/H0008.csv", earlier);
        host.answers = std::deque<bool>(8, true);
        const int n = runBatchConversion(host, BatchItems::All, record);
        if (n < 1 || n >= 8 || host.questions.size() != 8u - n || host.result != converted(n))
            return 1;
        // Every report on the small disk is complete; the earlier one is untouched.
        for (const auto& e : fs::directory_iterator(out)) {
            const std::string name = e.path().filename().string();
            const unsigned index = static_cast<unsigned>(name[4] - '0');
            const std::string expected = name == "H0008.csv" ? earlier : formatCsvReport(makeSampleSignature(index));
            if (readWholeFile(e.path().string()) != expected)
                return 3;
        }
        if (host.questions.back() != cannotCreate(out + "/H0008.csv"))
            return 4;
        return faults::leftoverTemporaries(out).empty() ? 0 : 5;
    });
    if (status == Unsupported)
        GTEST_SKIP() << "no mount namespace here; the file-size limit case covers the full disk";
    EXPECT_EQ(status, 0);
}

// The same through a file-size limit, which every system allows.
TEST_F(BatchFaultTest, FileSizeLimitFailsEveryReportAndKeepsTheEarlierOne)
{
    writeWholeFile(out + "/H0002.csv", "report of an earlier batch\r\n");
    const int status = faults::inChild([&] {
        faults::limitFileSize(4096);
        host.answers = {true, true, true, true};
        const int n = runBatchConversion(host, BatchItems::All, record);
        return n == 0 && host.questions.size() == 4 && host.questions[1] == cannotCreate(out + "/H0002.csv") ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(listDirectory(out), "H0002.csv");
    EXPECT_EQ(readWholeFile(out + "/H0002.csv"), "report of an earlier batch\r\n");
}

// Things that are not signature files are each refused with the question,
// without waiting on them; a huge sparse file is read only for its first
// record and converted. The good files around them are converted.
TEST_F(BatchFaultTest, InputsThatAreNotSignatureFilesAreRefusedWithoutHanging)
{
    std::vector<std::string> hostile = faults::makeHostileInputs(in);
    const std::string sparse = in + "/H-sparse.wav";
    faults::makeSparseFile(sparse, 2LL << 30);
    ASSERT_TRUE(fs::exists(sparse));
    std::vector<std::string> items{host.items[0]};
    items.insert(items.end(), hostile.begin(), hostile.end());
    items.push_back(sparse);
    items.push_back(host.items[1]);
    host.items = items;
    host.answers = std::deque<bool>(hostile.size(), true);

    EXPECT_EQ(runBatchConversion(host, BatchItems::All, record), 3);
    std::vector<std::string> expected;
    for (const auto& h : hostile)
        expected.push_back(cannotOpen(h));
    EXPECT_EQ(host.questions, expected);
    EXPECT_EQ(host.result, converted(3));
    EXPECT_EQ(listDirectory(out), "H-sparse.csv H0001.csv H0002.csv");
    EXPECT_EQ(readWholeFile(out + "/H-sparse.csv"), formatCsvReport(SignatureRecord{}));
}

TEST_F(BatchFaultTest, FileWithoutReadPermissionIsRefused)
{
    ::chmod(host.items[1].c_str(), 0);
    ::chown(out.c_str(), 65534, 65534);
    const int status = faults::inChild([&] {
        if (!faults::becomeNobody())
            return Unsupported;
        host.answers = {true};
        const int n = runBatchConversion(host, BatchItems::All, record);
        return n == 3 && host.questions == std::vector<std::string>{cannotOpen(host.items[1])} ? 0 : 1;
    });
    if (status == Unsupported)
        GTEST_SKIP() << "cannot run as nobody here";
    EXPECT_EQ(status, 0);
    EXPECT_EQ(listDirectory(out), "H0001.csv H0003.csv H0004.csv");
}

// Files that open but hold no signature: a truncated copy, an empty file, real
// audio under ".wav" (long enough to pass for a record by size, and short).
// Each gets the question with its reason on a line of its own, no report and
// no count; a report an earlier batch left under such a name is kept.
TEST_F(BatchFaultTest, FilesThatAreNoSignatureAskWithTheirReasonAndGetNoReport)
{
    const std::string full = readWholeFile(host.items[0]);
    const std::string truncated = in + "/H0010.wav", empty = in + "/H0011.wav";
    const std::string longAudio = in + "/H0012.wav", shortAudio = in + "/H0013.wav";
    writeWholeFile(truncated, full.substr(0, 100));
    writeWholeFile(empty, "");
    faults::writeAudio(longAudio, 16000);
    faults::writeAudio(shortAudio, 400);
    ASSERT_GE(fs::file_size(longAudio), 27884u);
    writeWholeFile(out + "/H0012.csv", "report of an earlier batch\r\n");
    host.items = {host.items[0], truncated, empty, longAudio, shortAudio, host.items[1]};
    host.answers = {true, true, true, true};

    EXPECT_EQ(runBatchConversion(host, BatchItems::All, record), 2);
    EXPECT_EQ(host.questions,
              (std::vector<std::string>{cannotOpen(truncated) + "\n(only 100 of 27,884 bytes)",
                                        cannotOpen(empty) + "\n(an empty file, not a signature)",
                                        cannotOpen(longAudio) + "\n(an audio file, not a signature)",
                                        cannotOpen(shortAudio) + "\n(an audio file, not a signature)"}));
    EXPECT_EQ(host.result, converted(2));
    EXPECT_EQ(listDirectory(out), "H0001.csv H0002.csv H0012.csv");
    EXPECT_EQ(readWholeFile(out + "/H0012.csv"), "report of an earlier batch\r\n");
}
