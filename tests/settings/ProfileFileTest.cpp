#include "settings/ProfileFile.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

TEST(SettingsProfileFile, ReadsTheFileAfreshAndCutsOnlyOverlongValues)
{
    TempDir dir;
    const ProfileFile file(dir.file("p.ini"));
    EXPECT_EQ(file.readString("S", "K", "dflt"), "dflt"); // no file yet

    const std::string longDir = "/" + std::string(300, 'd');
    writeWholeFile(file.path(), "[S]\nK=" + longDir + "\nHUGE=" + std::string(1 << 20, 'x'));
    EXPECT_EQ(file.readString("S", "K", ""), longDir);
    EXPECT_EQ(file.readString("S", "HUGE", ""), std::string(ProfileFile::MaxValueLength, 'x'));

    writeWholeFile(file.path(), "[S]\nK=changed elsewhere\n");
    EXPECT_EQ(file.readString("S", "K", ""), "changed elsewhere");
}

// Whatever keeps a write from completing must leave the existing file as it
// was and no temporary file behind.
TEST(SettingsProfileFile, FailedWritesLeaveTheFileAlone)
{
    TempDir dir;
    const std::string path = dir.file("p.ini");
    const std::string before = "; mine\n[S]\nK=old\n";
    writeWholeFile(path, before);
    const ProfileFile file(path);

    EXPECT_FALSE(file.writeString("S", "K", "a\n[S]\nK=planted"));
    EXPECT_FALSE(file.writeString("S", "K", "a\rb"));
    ::chmod(path.c_str(), 0444);
    EXPECT_FALSE(file.writeString("S", "K", "new"));
    EXPECT_EQ(readWholeFile(path), before);
    EXPECT_EQ(listDirectory(dir.path()), "p.ini");

    // Not a regular file: reads give the default without waiting on a FIFO,
    // and nothing replaces it.
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    fs::create_directory(dir.file("dir"));
    for (const char* name : {"fifo", "dir"}) {
        const ProfileFile odd(dir.file(name));
        EXPECT_EQ(odd.readString("S", "K", "dflt"), "dflt") << name;
        EXPECT_FALSE(odd.writeString("S", "K", "v")) << name;
    }
    EXPECT_EQ(fs::status(dir.file("fifo")).type(), fs::file_type::fifo);
    EXPECT_EQ(listDirectory(dir.path()), "dir fifo p.ini");
}

// A stray huge file under the settings name (a disk image, a sparse file) is
// neither read nor rewritten: reads give defaults at once, writes are refused.
TEST(SettingsProfileFile, HugeFileIsLeftAlone)
{
    TempDir dir;
    const std::string path = dir.file("p.ini");
    writeWholeFile(path, "[S]\nK=v\n");
    fs::resize_file(path, std::uintmax_t(2) << 30); // sparse: costs no disk
    const ProfileFile file(path);
    EXPECT_EQ(file.readString("S", "K", "dflt"), "dflt");
    const IoResult refused = file.writeString("S", "K", "new");
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.reason, ProfileFile::TooLarge);
    EXPECT_EQ(fs::file_size(path), std::uintmax_t(2) << 30);
    EXPECT_EQ(listDirectory(dir.path()), "p.ini");
}

// A carriage return inside a line ends its value, so the value can be
// written back (a value with a line break in it is refused); what followed
// it is a line of its own and stays.
TEST(SettingsProfileFile, CarriageReturnInsideALineEndsTheValue)
{
    TempDir dir;
    const ProfileFile file(dir.file("p.ini"));
    writeWholeFile(file.path(), "[S]\nK=/b\r/c\nL=x\n");
    EXPECT_EQ(file.readString("S", "K", ""), "/b");
    const std::string value = file.readString("S", "K", "");
    EXPECT_TRUE(file.writeString("S", "K", value));
    EXPECT_EQ(readWholeFile(file.path()), "[S]\nK=/b\r/c\nL=x\n");
}

TEST(SettingsProfileFile, WritesThroughALinkToItsTarget)
{
    TempDir dir;
    writeWholeFile(dir.file("real.ini"), "[S]\nK=old\n");
    fs::create_symlink("real.ini", dir.file("link.ini"));
    ASSERT_TRUE(ProfileFile(dir.file("link.ini")).writeString("S", "K", "new"));
    EXPECT_TRUE(fs::is_symlink(dir.file("link.ini")));
    EXPECT_EQ(readWholeFile(dir.file("real.ini")), "[S]\nK=new\n");
}

// A link made ahead of the file it names (settings kept in a synchronised
// folder, say) is followed as editors follow it: the file is created there.
TEST(SettingsProfileFile, LinkToAFileNotYetMadeCreatesIt)
{
    TempDir dir, kept;
    fs::create_symlink(kept.file("Gauvrin.INI"), dir.file("link.ini"));
    const ProfileFile file(dir.file("link.ini"));
    EXPECT_EQ(file.readString("S", "K", "dflt"), "dflt");
    ASSERT_TRUE(file.writeString("S", "K", "v"));
    EXPECT_TRUE(fs::is_symlink(dir.file("link.ini")));
    EXPECT_EQ(readWholeFile(kept.file("Gauvrin.INI")), "[S]\nK=v\n");
    EXPECT_EQ(file.readString("S", "K", ""), "v");
}
