#include "SignatureFile.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string patternBytes(std::size_t n, int seed)
{
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i * 31 + seed) & 0xff);
    return s;
}

std::string imageOf(const SignatureRecord& r)
{
    return std::string(reinterpret_cast<const char*>(r.bytes.data()), r.bytes.size());
}

class SignatureFileTest : public ::testing::Test
{
protected:
    TempDir dir;
    SignatureRecord before;
    void SetUp() override
    {
        // A record that already holds another file, so stale bytes would show.
        for (std::size_t i = 0; i < before.bytes.size(); ++i)
            before.bytes[i] = 0xAA;
        currentSignature = before;
    }
};

} // namespace

TEST_F(SignatureFileTest, FullFileIsTheRecordImage)
{
    const std::string full = patternBytes(SignatureRecord::Size, 1);
    writeWholeFile(dir.file("H0001.wav"), full);
    EXPECT_EQ(ReadSignatureFile(dir.file("H0001.wav")), 1);
    EXPECT_EQ(imageOf(currentSignature), full);
}

TEST_F(SignatureFileTest, LongFileUsesOnlyItsFirstRecordSize)
{
    const std::string longer = patternBytes(30000, 2);
    writeWholeFile(dir.file("long"), longer);
    EXPECT_EQ(ReadSignatureFile(dir.file("long")), 1);
    EXPECT_EQ(imageOf(currentSignature), longer.substr(0, SignatureRecord::Size));
}

// A short file must not report another stroke's bytes under its name: what it
// lacks reads as zero.
TEST_F(SignatureFileTest, ShortOrEmptyFileAfterAFullOneLeavesNoStaleBytes)
{
    writeWholeFile(dir.file("short"), patternBytes(100, 3));
    EXPECT_EQ(ReadSignatureFile(dir.file("short")), 1);
    EXPECT_EQ(imageOf(currentSignature), patternBytes(100, 3) + std::string(SignatureRecord::Size - 100, '\0'));

    currentSignature = before;
    writeWholeFile(dir.file("empty"), "");
    EXPECT_EQ(ReadSignatureFile(dir.file("empty")), 1);
    EXPECT_EQ(imageOf(currentSignature), std::string(SignatureRecord::Size, '\0'));
}

// Files that cannot be opened, or are not files at all, fail without touching
// the record and without blocking (a FIFO with no writer would wait forever).
TEST_F(SignatureFileTest, WhatCannotBeOpenedFailsAndLeavesTheRecord)
{
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("nowhere", dir.file("dangling").c_str()), 0);
    ASSERT_EQ(::symlink("loop", dir.file("loop").c_str()), 0);
    const std::string cases[] = {dir.file("missing.wav"), dir.path().string(), dir.file("fifo"),
                                 dir.file("dangling"), dir.file("loop"), "/dev/zero", "/dev/null", ""};
    for (const auto& path : cases) {
        EXPECT_EQ(ReadSignatureFile(path), -1) << path;
        EXPECT_EQ(currentSignature, before) << path;
    }
    EXPECT_EQ(readSignature(dir.path().string(), currentSignature).reason, "Is a directory");
    EXPECT_EQ(readSignature(dir.file("fifo"), currentSignature).reason, "not a regular file");
}

TEST_F(SignatureFileTest, UnreadableFileFails)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    writeWholeFile(dir.file("locked"), patternBytes(SignatureRecord::Size, 4));
    ::chmod(dir.file("locked").c_str(), 0);
    EXPECT_EQ(ReadSignatureFile(dir.file("locked")), -1);
    EXPECT_EQ(currentSignature, before);
}

TEST_F(SignatureFileTest, ExplicitRecordReadLeavesTheCurrentSignatureAlone)
{
    writeWholeFile(dir.file("a"), patternBytes(SignatureRecord::Size, 5));
    SignatureRecord mine;
    EXPECT_TRUE(readSignature(dir.file("a"), mine));
    EXPECT_EQ(imageOf(mine), patternBytes(SignatureRecord::Size, 5));
    EXPECT_EQ(currentSignature, before);
}
