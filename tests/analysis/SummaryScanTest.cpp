#include "analysis/SummaryScan.h"
#include "convert/SignatureListing.h"
#include "signature/SignatureFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string recordBytes(std::int32_t strokeCount, float peak)
{
    SignatureRecord r;
    r.setStrokeCount(strokeCount);
    r.setPeak(0, peak);
    r.setCurve(3, SignatureRecord::PointCount - 1, 77.0f); // the last value the fields' part holds
    return std::string(r.bytes.begin(), r.bytes.end());
}

TEST(SummaryScan, ReadsTheFieldsPartAndRefusesWhatIsNoSignature)
{
    TempDir dir;
    writeWholeFile(dir.file("H1"), recordBytes(7, 12.5f));
    writeWholeFile(dir.file("short"), recordBytes(7, 12.5f).substr(0, SignatureRecord::FieldsSize)); // fields, no rest
    writeWholeFile(dir.file("empty"), "");
    writeWholeFile(dir.file("riff.wav"), std::string("RIFF\x24\0\0\0WAVEfmt ", 16) + std::string(27884, 'x'));

    SignatureRecord record;
    const ScannedFile ok = summariseFile(dir.file("H1"), record);
    ASSERT_TRUE(ok.summary);
    EXPECT_EQ(ok.summary->strokeCount, 7);
    EXPECT_EQ(ok.summary->channels[0].peak, 12.5f);
    EXPECT_EQ(ok.summary->channels[3].curveMax, 77.0f);
    EXPECT_EQ(ok.summary->path, dir.file("H1"));

    const ScannedFile shortFile = summariseFile(dir.file("short"), record);
    EXPECT_FALSE(shortFile.summary);
    EXPECT_EQ(shortFile.io.reason, "only 9,704 of 27,884 bytes");
    EXPECT_EQ(summariseFile(dir.file("empty"), record).io.reason, "an empty file, not a signature");
    EXPECT_EQ(summariseFile(dir.file("riff.wav"), record).io.reason, "an audio file, not a signature");
    EXPECT_FALSE(summariseFile(dir.file("missing"), record).summary);

    // Links are refused where the caller says so.
    ASSERT_EQ(::symlink(dir.file("H1").c_str(), dir.file("H2").c_str()), 0);
    EXPECT_TRUE(summariseFile(dir.file("H2"), record, FinalLink::Follow).summary);
    EXPECT_FALSE(summariseFile(dir.file("H2"), record, FinalLink::Refuse).summary);
}

TEST(SummaryScan, EveryFileIsReportedOnceAndAStopSkipsTheRest)
{
    TempDir dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 40; ++i) {
        paths.push_back(dir.file("H" + std::to_string(i)));
        writeWholeFile(paths.back(), recordBytes(i, float(i)));
    }
    paths.push_back(dir.file("missing"));

    std::vector<int> seen(paths.size(), 0);
    SummaryScanOptions options;
    options.jobs = 4;
    options.onFile = [&](std::size_t index, ScannedFile& file) {
        ++seen[index];
        if (file.summary) {
            EXPECT_EQ(file.summary->strokeCount, static_cast<int>(index));
        }
    };
    const ScanTally all = summariseFiles(paths, options);
    EXPECT_EQ(all.read, 40u);
    EXPECT_EQ(all.failed, 1u);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), static_cast<long>(paths.size()));

    std::atomic<bool> stop{false};
    std::size_t handed = 0;
    options.stop = &stop;
    options.jobs = 1;
    options.onFile = [&](std::size_t, ScannedFile&) {
        if (++handed == 10)
            stop = true;
    };
    const ScanTally part = summariseFiles(paths, options);
    EXPECT_EQ(part.read, 10u);
    EXPECT_EQ(part.skipped, paths.size() - 10);
    EXPECT_EQ(handed, paths.size());
}

TEST(StrokeFileListing, FindsSignatureNamesAndWavFilesBelowWithoutFollowingLinks)
{
    TempDir dir;
    const auto& root = dir.path();
    std::filesystem::create_directories(root / "line2" / "deep");
    std::filesystem::create_directories(root / ".hidden");
    std::filesystem::create_directories(root / "elsewhere");
    for (const char* name : {"H0001", "h0002", "A.WAV", "b.wav", "notes.txt", "Hx.csv", ".H9.wav", "line2/H0003",
                             "line2/deep/c.Wav", ".hidden/H7", "elsewhere/H8"})
        writeWholeFile((root / name).string(), "x");
    std::filesystem::create_directory_symlink(root / "elsewhere", root / "line2" / "linked");
    std::filesystem::create_symlink(root / "elsewhere" / "H8", root / "H0009");
    std::filesystem::create_directory(root / "H0010"); // a folder with a signature's name

    const auto rel = [&](const StrokeFileListing& l) {
        std::vector<std::string> out;
        for (const std::string& p : l.paths)
            out.push_back(std::filesystem::path(p).lexically_relative(root).string());
        return out;
    };
    const StrokeFileListing flat = listStrokeFiles(root.string(), false);
    ASSERT_TRUE(flat.status);
    EXPECT_EQ(rel(flat), (std::vector<std::string>{"A.WAV", "H0001", "b.wav", "h0002"}));

    const StrokeFileListing tree = listStrokeFiles(root.string(), true);
    EXPECT_EQ(rel(tree), (std::vector<std::string>{"A.WAV", "H0001", "b.wav", "elsewhere/H8", "h0002", "line2/H0003",
                                                   "line2/deep/c.Wav"}));

    EXPECT_FALSE(listStrokeFiles((root / "nowhere").string(), true).status);
    if (::geteuid() != 0) {
        ::chmod((root / "line2" / "deep").c_str(), 0);
        const StrokeFileListing blocked = listStrokeFiles(root.string(), true);
        EXPECT_EQ(blocked.unreadable.size(), 1u);
        ::chmod((root / "line2" / "deep").c_str(), 0755);
    }
}

} // namespace
