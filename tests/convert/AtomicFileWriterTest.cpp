#include "AtomicFileWriter.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TEST(AtomicFileWriter, TargetChangesOnlyOnCommit)
{
    TempDir dir;
    const std::string path = dir.file("report.csv");
    writeWholeFile(path, "old");
    {
        AtomicFileWriter w;
        ASSERT_TRUE(w.open(path));
        ASSERT_TRUE(w.write("new "));
        EXPECT_EQ(readWholeFile(path), "old");
        ASSERT_TRUE(w.write("content"));
        ASSERT_TRUE(w.commit());
    }
    EXPECT_EQ(readWholeFile(path), "new content");
    {
        AtomicFileWriter w; // abandoned half way, as when a write fails
        ASSERT_TRUE(w.open(path));
        ASSERT_TRUE(w.write("partial"));
    }
    EXPECT_EQ(readWholeFile(path), "new content");
    EXPECT_EQ(listDirectory(dir.path()), "report.csv");
}

TEST(AtomicFileWriter, FailsWhereNoFileCanBeCreated)
{
    TempDir dir;
    EXPECT_EQ(writeFileAtomically(dir.file("no/such/dir/x"), "x").error, ENOENT);
    EXPECT_EQ(writeFileAtomically(dir.file("x/"), "x").error, EISDIR);
    EXPECT_EQ(writeFileAtomically("", "x").error, ENOENT);
    EXPECT_EQ(writeFileAtomically("/dev/null", "x").reason, "not a regular file");
    writeWholeFile(dir.file("notdir"), "");
    EXPECT_EQ(writeFileAtomically(dir.file("notdir/x"), "x").error, ENOTDIR);
    ASSERT_EQ(::symlink("nowhere/x", dir.file("dangling").c_str()), 0);
    EXPECT_FALSE(writeFileAtomically(dir.file("dangling"), "x").ok);
}

TEST(AtomicFileWriter, ReadOnlyDirectoryRefusesAndKeepsItsFiles)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    TempDir dir;
    writeWholeFile(dir.file("r.csv"), "kept");
    ::chmod(dir.path().c_str(), 0555);
    EXPECT_EQ(writeFileAtomically(dir.file("r.csv"), "x").error, EACCES);
    EXPECT_EQ(writeFileAtomically(dir.file("new.csv"), "x").error, EACCES);
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(readWholeFile(dir.file("r.csv")), "kept");
    EXPECT_EQ(listDirectory(dir.path()), "r.csv");
}

TEST(AtomicFileWriter, DirectoryRemovedBeforeCommitFailsCleanly)
{
    TempDir dir;
    const std::string sub = dir.file("out");
    ::mkdir(sub.c_str(), 0755);
    AtomicFileWriter w;
    ASSERT_TRUE(w.open(sub + "/r.csv"));
    ASSERT_TRUE(w.write("data"));
    std::filesystem::remove_all(sub); // the output directory vanishes mid-batch
    EXPECT_FALSE(w.commit());
    EXPECT_FALSE(std::filesystem::exists(sub));
}

namespace {

bool unnamedFilesWork(const std::string& dir)
{
    const int fd = ::open(dir.c_str(), O_TMPFILE | O_WRONLY, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

} // namespace

TEST(AtomicFileWriter, NewFileHasNoNameUntilCommitAndTheUsualPermissions)
{
    TempDir dir;
    if (!unnamedFilesWork(dir.path()))
        GTEST_SKIP() << "this file system has no unnamed files";
    const std::string path = dir.file("new.csv");
    {
        AtomicFileWriter w; // dropped before commit: nothing may remain
        ASSERT_TRUE(w.open(path));
        ASSERT_TRUE(w.write("lost"));
        EXPECT_EQ(listDirectory(dir.path()), "");
    }
    EXPECT_EQ(listDirectory(dir.path()), "");

    AtomicFileWriter w;
    ASSERT_TRUE(w.open(path));
    ASSERT_TRUE(w.write("kept"));
    EXPECT_EQ(listDirectory(dir.path()), "");
    ASSERT_TRUE(w.commit());
    EXPECT_EQ(readWholeFile(path), "kept");
    EXPECT_EQ(listDirectory(dir.path()), "new.csv");
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat st{};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
}

TEST(AtomicFileWriter, TargetAppearingBeforeCommitIsReplacedWhole)
{
    TempDir dir;
    const std::string path = dir.file("r.csv");
    AtomicFileWriter w;
    ASSERT_TRUE(w.open(path));
    ASSERT_TRUE(w.write(std::string(100000, 'n')));
    writeWholeFile(path, "someone else's"); // another run wrote the same name meanwhile
    ASSERT_TRUE(w.commit());
    EXPECT_EQ(readWholeFile(path), std::string(100000, 'n'));
    EXPECT_EQ(listDirectory(dir.path()), "r.csv");
}
