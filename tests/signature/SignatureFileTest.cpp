#include "signature/SignatureFile.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

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
    // The record every read goes into, as the program's shared one.
    SignatureRecord currentSignature;
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
    EXPECT_EQ(ReadSignatureFile(dir.file("H0001.wav"), currentSignature), 1);
    EXPECT_EQ(imageOf(currentSignature), full);
}

TEST_F(SignatureFileTest, LongFileUsesOnlyItsFirstRecordSize)
{
    const std::string longer = patternBytes(30000, 2);
    writeWholeFile(dir.file("long"), longer);
    EXPECT_EQ(ReadSignatureFile(dir.file("long"), currentSignature), 1);
    EXPECT_EQ(imageOf(currentSignature), longer.substr(0, SignatureRecord::Size));
}

// A file too short to be a record is no signature: converting it would give a
// report of zeros (or of the previous file's bytes) under its name. It fails
// with the number of bytes it has, and the record stays as it was.
TEST_F(SignatureFileTest, ShortOrEmptyFileIsRefusedWithItsSizeAndLeavesTheRecord)
{
    const std::pair<std::size_t, std::string> cases[] = {
        {100, "only 100 of 27,884 bytes"}, {SignatureRecord::Size - 1, "only 27,883 of 27,884 bytes"},
        {999, "only 999 of 27,884 bytes"}, {1000, "only 1,000 of 27,884 bytes"},
        {11, "only 11 of 27,884 bytes"},   {0, "an empty file, not a signature"},
    };
    for (const auto& [size, reason] : cases) {
        writeWholeFile(dir.file("short"), patternBytes(size, 3));
        EXPECT_EQ(ReadSignatureFile(dir.file("short"), currentSignature), -1) << size;
        EXPECT_EQ(currentSignature, before) << size;
        const SignatureRead read = readSignature(dir.file("short"), currentSignature);
        EXPECT_EQ(read.reason, reason);
        EXPECT_TRUE(read.notASignature) << size;
        EXPECT_EQ(currentSignature, before) << size;
    }
}

// The open dialog offers "*.wav", which draws in real audio files. Long or
// short, a RIFF/WAVE file is refused as audio; "RIFF" alone (a job name, say)
// or WAVE at another place is no audio header.
TEST_F(SignatureFileTest, AudioFileIsRefusedAsAudio)
{
    const auto withHeader = [](std::string bytes, std::string_view riff, std::string_view wave, std::size_t at) {
        bytes.replace(0, riff.size(), riff);
        bytes.replace(at, wave.size(), wave);
        return bytes;
    };
    for (const std::size_t size : {std::size_t{40000}, SignatureRecord::Size, std::size_t{844}, std::size_t{12}}) {
        writeWholeFile(dir.file("tone.wav"), withHeader(patternBytes(size, 6), "RIFF", "WAVE", 8));
        const SignatureRead read = readSignature(dir.file("tone.wav"), currentSignature);
        EXPECT_FALSE(read) << size;
        EXPECT_TRUE(read.notASignature) << size;
        EXPECT_EQ(read.reason, "an audio file, not a signature") << size;
        EXPECT_EQ(currentSignature, before) << size;
    }

    const std::string notAudio[] = {withHeader(patternBytes(SignatureRecord::Size, 7), "RIFF", "AVI ", 8),
                                    withHeader(patternBytes(SignatureRecord::Size, 8), "RIFX", "WAVE", 8),
                                    withHeader(patternBytes(SignatureRecord::Size, 9), "RIFF", "WAVE", 9)};
    for (const std::string& bytes : notAudio) {
        writeWholeFile(dir.file("H0001.wav"), bytes);
        EXPECT_EQ(ReadSignatureFile(dir.file("H0001.wav"), currentSignature), 1) << bytes.substr(0, 13);
        EXPECT_EQ(imageOf(currentSignature), bytes);
    }
}

// What cannot be opened is not the file's content: it keeps the system's
// reason and is not marked as "no signature".
TEST_F(SignatureFileTest, OpenFailureIsNotCalledNoSignature)
{
    const SignatureRead read = readSignature(dir.file("missing.wav"), currentSignature);
    EXPECT_FALSE(read);
    EXPECT_FALSE(read.notASignature);
    EXPECT_EQ(read.reason, "No such file or directory");

    writeWholeFile(dir.file("H0001.wav"), patternBytes(SignatureRecord::Size, 1));
    const SignatureRead good = readSignature(dir.file("H0001.wav"), currentSignature);
    EXPECT_TRUE(good);
    EXPECT_FALSE(good.notASignature);
}

// Files that cannot be opened, or are not files at all, fail without touching
// the record and without blocking (a FIFO with no writer would wait forever).
TEST_F(SignatureFileTest, WhatCannotBeOpenedFailsAndLeavesTheRecord)
{
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("nowhere", dir.file("dangling").c_str()), 0);
    ASSERT_EQ(::symlink("loop", dir.file("loop").c_str()), 0);
    const std::string cases[] = {dir.file("missing.wav"), dir.path().string(), dir.file("fifo"), dir.file("dangling"),
                                 dir.file("loop"),        "/dev/zero",         "/dev/null",      ""};
    for (const auto& path : cases) {
        EXPECT_EQ(ReadSignatureFile(path, currentSignature), -1) << path;
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
    EXPECT_EQ(ReadSignatureFile(dir.file("locked"), currentSignature), -1);
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

// A folder pass refuses a link at the end of the path, however good the file
// it names; a link further up the path (a linked folder) is the user's own
// choice and is followed. A user's own pick may be a link.
TEST_F(SignatureFileTest, LinkAtTheEndIsRefusedWhenAskedAndTheRecordKept)
{
    ::mkdir(dir.file("real").c_str(), 0755);
    writeWholeFile(dir.file("real/H1"), patternBytes(SignatureRecord::Size, 6));
    ASSERT_EQ(::symlink("real/H1", dir.file("H1").c_str()), 0);
    ASSERT_EQ(::symlink("real", dir.file("linked").c_str()), 0);

    const SignatureRead refused = readSignature(dir.file("H1"), currentSignature, FinalLink::Refuse);
    EXPECT_FALSE(refused);
    EXPECT_FALSE(refused.notASignature);
    EXPECT_EQ(refused.reason, "a symbolic link, not followed");
    EXPECT_EQ(currentSignature, before);

    EXPECT_TRUE(readSignature(dir.file("linked/H1"), currentSignature, FinalLink::Refuse));
    EXPECT_EQ(imageOf(currentSignature), patternBytes(SignatureRecord::Size, 6));
    currentSignature = before;
    EXPECT_EQ(ReadSignatureFile(dir.file("H1"), currentSignature), 1);
    EXPECT_EQ(imageOf(currentSignature), patternBytes(SignatureRecord::Size, 6));

    // A loop further up is told as a loop, not as a refused link.
    ASSERT_EQ(::symlink("loop", dir.file("loop").c_str()), 0);
    EXPECT_EQ(readSignature(dir.file("loop/H1"), currentSignature, FinalLink::Refuse).reason,
              "Too many levels of symbolic links");
}

// The read names the file it read, so that a caller can tell it from the
// file its report would replace.
TEST_F(SignatureFileTest, ReadTellsWhichFileWasRead)
{
    writeWholeFile(dir.file("H1"), patternBytes(SignatureRecord::Size, 7));
    ASSERT_EQ(::symlink("H1", dir.file("H2").c_str()), 0);
    struct stat st = {};
    ASSERT_EQ(::stat(dir.file("H1").c_str(), &st), 0);
    const SignatureRead read = readSignature(dir.file("H2"), currentSignature);
    ASSERT_TRUE(read);
    EXPECT_EQ(read.device, st.st_dev);
    EXPECT_EQ(read.inode, st.st_ino);
}
