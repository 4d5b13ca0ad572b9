#include "common/AtomicFileWriter.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

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
    // Followed, a link into a directory that does not exist leads nowhere.
    ASSERT_EQ(::symlink("nowhere/x", dir.file("dangling").c_str()), 0);
    EXPECT_EQ(writeFileAtomically(dir.file("dangling"), "x", LinkAtTarget::Follow).error, ENOENT);
    ASSERT_EQ(::symlink("loop", dir.file("loop").c_str()), 0);
    EXPECT_EQ(writeFileAtomically(dir.file("loop"), "x", LinkAtTarget::Follow).error, ELOOP);
    EXPECT_TRUE(fs::is_symlink(dir.file("dangling")));
    EXPECT_TRUE(fs::is_symlink(dir.file("loop")));
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
    struct stat st
    {
    };
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

// In a folder other users can write to, anyone may put a link where the next
// report goes. Writing through it would replace whatever file it names that
// this process may write (a copy of /etc/passwd here); the link must be
// replaced instead, whatever it points to, and even when it only appears
// after the checks made on opening.
TEST(AtomicFileWriter, LinkAtTheNameIsReplacedAndWhatItNamesIsNotTouched)
{
    TempDir shared, elsewhere;
    const std::string victim = elsewhere.file("passwd");
    writeWholeFile(victim, "root:x:0:0:root:/root:/bin/bash\n");
    ::chmod(victim.c_str(), 0644);
    const std::string readOnly = elsewhere.file("read-only");
    writeWholeFile(readOnly, "kept");
    ::chmod(readOnly.c_str(), 0444);
    fs::create_directory(elsewhere.file("dir"));

    const std::pair<const char*, std::string> links[] = {
        {"to a file outside", victim},
        {"relative, to a file outside", fs::relative(victim, shared.path()).string()},
        {"to a read-only file", readOnly},
        {"to a directory", elsewhere.file("dir")},
        {"dangling", elsewhere.file("not yet")},
    };
    for (const auto& [what, to] : links) {
        SCOPED_TRACE(what);
        const std::string report = shared.file("H0001.csv");
        fs::remove(report);
        fs::create_symlink(to, report);
        ASSERT_TRUE(writeFileAtomically(report, "report"));
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(report)));
        EXPECT_EQ(readWholeFile(report), "report");
    }
    EXPECT_EQ(readWholeFile(victim), "root:x:0:0:root:/root:/bin/bash\n");
    EXPECT_EQ(readWholeFile(readOnly), "kept");
    EXPECT_EQ(listDirectory(elsewhere.path()), "dir passwd read-only");
    EXPECT_EQ(listDirectory(elsewhere.file("dir")), "");
    EXPECT_EQ(listDirectory(shared.path()), "H0001.csv");

    // Planted between opening and committing, over a report being replaced
    // and over a name that was free.
    for (const bool existed : {true, false}) {
        SCOPED_TRACE(existed ? "replacing" : "new");
        const std::string report = shared.file("H0002.csv");
        fs::remove(report);
        if (existed)
            writeWholeFile(report, "old");
        AtomicFileWriter w;
        ASSERT_TRUE(w.open(report));
        ASSERT_TRUE(w.write("new"));
        fs::remove(report);
        fs::create_symlink(victim, report);
        ASSERT_TRUE(w.commit());
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(report)));
        EXPECT_EQ(readWholeFile(report), "new");
        EXPECT_EQ(readWholeFile(victim), "root:x:0:0:root:/root:/bin/bash\n");
    }
}

// A regular file marked read-only is still never replaced, and a link does
// not lend a regular file the permissions of what it names.
TEST(AtomicFileWriter, ReadOnlyReportIsKeptButALinkToOneIsNot)
{
    TempDir dir;
    writeWholeFile(dir.file("r.csv"), "kept");
    ::chmod(dir.file("r.csv").c_str(), 0444);
    EXPECT_EQ(writeFileAtomically(dir.file("r.csv"), "x").error, EACCES);
    EXPECT_EQ(readWholeFile(dir.file("r.csv")), "kept");

    writeWholeFile(dir.file("w.csv"), "old");
    ::chmod(dir.file("w.csv").c_str(), 0640);
    ASSERT_TRUE(writeFileAtomically(dir.file("w.csv"), "new"));
    struct stat st
    {
    };
    ASSERT_EQ(::stat(dir.file("w.csv").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u) << "a replaced report keeps its permissions";
}

// Followed on request: the file the links name is written, through a chain
// of them, and created there when it does not exist yet; the links stay.
TEST(AtomicFileWriter, FollowingLinksWritesWhatTheyName)
{
    TempDir dir, elsewhere;
    writeWholeFile(elsewhere.file("real.ini"), "old");
    fs::create_symlink(elsewhere.file("real.ini"), dir.file("one"));
    fs::create_symlink("one", dir.file("two"));
    ASSERT_TRUE(writeFileAtomically(dir.file("two"), "new", LinkAtTarget::Follow));
    EXPECT_EQ(readWholeFile(elsewhere.file("real.ini")), "new");
    EXPECT_TRUE(fs::is_symlink(dir.file("one")));
    EXPECT_TRUE(fs::is_symlink(dir.file("two")));

    fs::create_symlink(elsewhere.file("made.ini"), dir.file("ahead"));
    AtomicFileWriter w;
    ASSERT_TRUE(w.open(dir.file("ahead"), LinkAtTarget::Follow));
    EXPECT_EQ(w.target(), elsewhere.file("made.ini"));
    ASSERT_TRUE(w.write("created"));
    ASSERT_TRUE(w.commit());
    EXPECT_EQ(readWholeFile(elsewhere.file("made.ini")), "created");
    EXPECT_TRUE(fs::is_symlink(dir.file("ahead")));
    EXPECT_EQ(listDirectory(elsewhere.path()), "made.ini real.ini");
}

// The temporary name is short and of fixed length, so a report whose name is
// as long as the file system allows can be replaced, not only created.
TEST(AtomicFileWriter, LongestNameIsCreatedAndReplaced)
{
    TempDir dir;
    const std::string name = "H" + std::string(250, 'n') + ".csv";
    ASSERT_EQ(name.size(), 255u);
    const std::string path = dir.file(name);
    ASSERT_TRUE(writeFileAtomically(path, "first"));
    IoResult replaced = writeFileAtomically(path, "second");
    ASSERT_TRUE(replaced) << replaced.reason;
    EXPECT_EQ(readWholeFile(path), "second");
    EXPECT_EQ(listDirectory(dir.path()), name);
}

// A replacement is written where no name shows it either, so a program
// stopped while writing one leaves nothing beside the report.
TEST(AtomicFileWriter, ReplacementHasNoNameWhileItIsWritten)
{
    TempDir dir;
    if (!unnamedFilesWork(dir.path()))
        GTEST_SKIP() << "this file system has no unnamed files";
    const std::string path = dir.file("r.csv");
    writeWholeFile(path, "old");
    AtomicFileWriter w;
    ASSERT_TRUE(w.open(path));
    ASSERT_TRUE(w.write("new"));
    EXPECT_EQ(listDirectory(dir.path()), "r.csv");
    ASSERT_TRUE(w.commit());
    EXPECT_EQ(readWholeFile(path), "new");
    EXPECT_EQ(listDirectory(dir.path()), "r.csv");
}
