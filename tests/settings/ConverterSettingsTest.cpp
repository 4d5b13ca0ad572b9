#include "settings/ConverterSettings.h"
#include "TempDir.h"
#include "common/SystemError.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Runs the test from inside its own directory and returns to where it was.
class SettingsTest : public ::testing::Test
{
protected:
    TempDir dir;
    std::string ini = dir.file("Gauvrin.INI");
    std::string work = fs::canonical(dir.path()).string();
    fs::path previous = fs::current_path();
    SettingsRecord s;
    void SetUp() override { fs::current_path(work); }
    void TearDown() override { fs::current_path(previous); }
};

std::string errorOf(const std::function<void()>& operation)
{
    try {
        operation();
    } catch (const SystemError& e) {
        return e.what();
    }
    return "no error";
}

// Runs check as the "nobody" account when the test runs as root, who reads and
// writes whatever the permission bits say. 0 when check held, 77 when root
// could not be given up.
int outcomeAsUser(const std::function<bool()>& check)
{
    if (::geteuid() != 0)
        return check() ? 0 : 1;
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(77);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace

TEST_F(SettingsTest, FirstStartWritesEveryDefaultInLoadOrder)
{
    EXPECT_EQ(LoadSettings(s, ini), 1);
    const std::string w = work;
    EXPECT_EQ(readWholeFile(ini), "[XLBCONVTR]\nLAST LOAD DIR=" + w + "\nLAST SAVE DIR=" + w + "\nAS READ DIR=" + w +
                                      "\nAS SAVE DIR=" + w + "\nAS INTERVAL=0\nAS PREFIX=No Prefix\n");
    EXPECT_EQ(s.lastSaveDir, w);
    EXPECT_EQ(s.asSaveDir, w);
    EXPECT_EQ(s.asPrefix, "No Prefix");
}

TEST_F(SettingsTest, ScheduleDirectoriesDefaultToTheLastLoadDirectory)
{
    const std::string before = "[XLBCONVTR]\nLAST LOAD DIR=/sig\nLAST SAVE DIR=/out\nAS PREFIX=\n";
    writeWholeFile(ini, before);
    LoadSettings(s, ini);
    EXPECT_EQ(s.asReadDir, "/sig");
    EXPECT_EQ(s.asSaveDir, "/sig");
    // The empty prefix counts as missing and is filled in its own line.
    EXPECT_EQ(readWholeFile(ini), "[XLBCONVTR]\nLAST LOAD DIR=/sig\nLAST SAVE DIR=/out\nAS PREFIX=No Prefix\n"
                                  "AS READ DIR=/sig\nAS SAVE DIR=/sig\nAS INTERVAL=0\n");
}

// Stored values are taken as they stand (no prefix or case rules, no length
// limit), matched without regard to case, and never rewritten by a load.
TEST_F(SettingsTest, LoadTakesStoredValuesWithoutRewritingThem)
{
    const std::string longDir = "/" + std::string(400, 'L');
    const std::string before = "; kept\r\n[Other]\r\nAS PREFIX=wrong\r\n[xlbconvtr]\r\n  last load dir = " + longDir +
                               "\r\nLast Save Dir=/o\r\nas read dir=/r\r\nAS SAVE DIR=/s\r\nAS INTERVAL=-5\r\n"
                               "AS PREFIX=no prefix\r\n";
    writeWholeFile(ini, before);
    LoadSettings(s, ini);
    EXPECT_EQ(s.lastLoadDir, longDir);
    EXPECT_EQ(s.lastSaveDir, "/o");
    EXPECT_EQ(s.asReadDir, "/r");
    EXPECT_EQ(s.asInterval, -5);
    EXPECT_EQ(s.asPrefix, "no prefix");
    EXPECT_EQ(readWholeFile(ini), before);
}

// A file saved with CR line ends (an old editor) holds the same settings as
// any other: its values are taken, nothing is appended, and a key written
// later goes in its section with the file's own line end.
TEST_F(SettingsTest, FileWithCarriageReturnLineEndsIsReadAndKeptInItsStyle)
{
    const std::string before = "[XLBCONVTR]\rLAST LOAD DIR=/l\rLAST SAVE DIR=/s\rAS READ DIR=/r\r"
                               "AS SAVE DIR=/o\rAS INTERVAL=9\rAS PREFIX=P\r\r[Other]\rx=1\r";
    writeWholeFile(ini, before);
    LoadSettings(s, ini);
    EXPECT_EQ(s.lastLoadDir, "/l");
    EXPECT_EQ(s.asSaveDir, "/o");
    EXPECT_EQ(s.asInterval, 9);
    EXPECT_EQ(s.asPrefix, "P");
    EXPECT_EQ(readWholeFile(ini), before);

    writeWholeFile(ini, "[XLBCONVTR]\rLAST LOAD DIR=/l\r");
    LoadSettings(s, ini);
    EXPECT_EQ(readWholeFile(ini), "[XLBCONVTR]\rLAST LOAD DIR=/l\rLAST SAVE DIR=" + work + "\rAS READ DIR=/l\r" +
                                      "AS SAVE DIR=/l\rAS INTERVAL=0\rAS PREFIX=No Prefix\r");
}

// The settings file may be a link the user made, also to a file that is not
// there yet: it is created where the link points, and the link stays.
TEST_F(SettingsTest, LinkToASettingsFileNotYetMadeIsFollowed)
{
    TempDir elsewhere;
    const std::string real = elsewhere.file("Gauvrin.INI");
    fs::create_symlink(real, ini);
    LoadSettings(s, ini);
    EXPECT_TRUE(fs::is_symlink(ini));
    EXPECT_NE(readWholeFile(real).find("AS PREFIX=No Prefix\n"), std::string::npos);
    s.lastLoadDir = "/new";
    SaveLastDirs(s, ini);
    EXPECT_NE(readWholeFile(real).find("LAST LOAD DIR=/new\n"), std::string::npos);
    EXPECT_EQ(listDirectory(elsewhere.path()), "Gauvrin.INI");
}

TEST_F(SettingsTest, BadIntervalStopsTheLoadBeforeThePrefix)
{
    writeWholeFile(ini, "[XLBCONVTR]\nLAST LOAD DIR=/l\nAS INTERVAL=abc\nAS PREFIX=P\n");
    EXPECT_EQ(errorOf([&] { LoadSettings(s, ini); }), "'abc' is not a valid integer value");
    EXPECT_EQ(s.asSaveDir, "/l");
    EXPECT_EQ(s.asInterval, 0);
    EXPECT_EQ(s.asPrefix, "No Prefix");
    EXPECT_NE(readWholeFile(ini).find("AS INTERVAL=abc\n"), std::string::npos);
}

TEST_F(SettingsTest, SavesRewriteTheirKeysAndKeepEverythingElse)
{
    writeWholeFile(ini, "# top\r\n[A]\r\nx = 1\r\n\r\n[XLBCONVTR]\r\nas interval = 7\r\nAS PREFIX=P\r\n"
                        "junk line\r\n\r\n; next\r\n[B]\r\ny=2\r\n");
    s = {"/load", "/save dir", "/r", "/s", 7, "P"};
    SaveLastDirs(s, ini);
    SaveScheduleSettings(s, ini); // unchanged values are written all the same
    EXPECT_EQ(readWholeFile(ini), "# top\r\n[A]\r\nx = 1\r\n\r\n[XLBCONVTR]\r\nAS INTERVAL=7\r\nAS PREFIX=P\r\n"
                                  "junk line\r\nLAST LOAD DIR=/load\r\nLAST SAVE DIR=/save dir\r\nAS READ DIR=/r\r\n"
                                  "AS SAVE DIR=/s\r\n\r\n; next\r\n[B]\r\ny=2\r\n");
    SettingsRecord back;
    LoadSettings(back, ini);
    EXPECT_EQ(back.lastSaveDir, "/save dir");
    EXPECT_EQ(back.asInterval, 7);
}

TEST_F(SettingsTest, ReadOnlyFileRaisesTheWriteErrorAndStopsTheLoad)
{
    const std::string before = "[XLBCONVTR]\nLAST LOAD DIR=/l\n";
    writeWholeFile(ini, before);
    ::chmod(ini.c_str(), 0444);
    const std::string expected = "Unable to write to " + ini;
    EXPECT_EQ(errorOf([&] { LoadSettings(s, ini); }), expected);
    EXPECT_EQ(s.lastSaveDir, work); // set just before its write failed
    EXPECT_EQ(s.asReadDir, "");     // never reached
    EXPECT_EQ(errorOf([&] { SaveLastDirs(s, ini); }), expected);
    EXPECT_EQ(errorOf([&] { SaveScheduleSettings(s, ini); }), expected);
    // A directory name with a line break would plant lines of its own.
    ::chmod(ini.c_str(), 0644);
    s.lastLoadDir = "/a\n[XLBCONVTR]\nAS SAVE DIR=/planted";
    EXPECT_EQ(errorOf([&] { SaveLastDirs(s, ini); }), expected);
    EXPECT_EQ(readWholeFile(ini), before);
    EXPECT_EQ(listDirectory(dir.path()), "Gauvrin.INI");
}

// A directory that takes no new file, and a file that cannot be read (writing
// it anew would drop what it holds), are both refused with the old file kept.
TEST_F(SettingsTest, UnwritableDirectoryOrUnreadableFileRaisesTheWriteError)
{
    ::chmod(dir.path().c_str(), 0755);
    const std::string content = "[Other]\nkeep=1\n";
    for (const auto& [dirMode, fileMode] : {std::pair{0555, 0666}, std::pair{0777, 0222}}) {
        const fs::path sub = dir.path() / std::to_string(dirMode);
        const std::string file = (sub / "Gauvrin.INI").string();
        fs::create_directory(sub);
        writeWholeFile(file, content);
        ::chmod(file.c_str(), fileMode);
        ::chmod(sub.c_str(), dirMode);
        const int outcome =
            outcomeAsUser([&] { return errorOf([&] { SaveLastDirs(s, file); }) == "Unable to write to " + file; });
        if (outcome == 77)
            GTEST_SKIP() << "cannot give up root here";
        EXPECT_EQ(outcome, 0) << sub;
        ::chmod(file.c_str(), 0644);
        EXPECT_EQ(readWholeFile(file), content);
        EXPECT_EQ(listDirectory(sub), "Gauvrin.INI");
    }
}

TEST_F(SettingsTest, GarbageNeverStopsTheLoad)
{
    const std::string garbage[] = {
        std::string("\0\x01\xfe\xff[\x80]\n=\n", 10),
        std::string(1 << 20, 'q'),
        "LAST LOAD DIR=/no/section\n[XLBCONVTR\nAS INTERVAL=1\n",
    };
    for (const auto& g : garbage) {
        writeWholeFile(ini, g);
        SettingsRecord loaded;
        LoadSettings(loaded, ini);
        EXPECT_EQ(loaded.lastLoadDir, work);
        EXPECT_EQ(loaded.asInterval, 0);
        EXPECT_EQ(readWholeFile(ini).compare(0, g.size(), g), 0);
    }
}

TEST_F(SettingsTest, DefaultDirectoryIsTheCurrentDirectory)
{
    EXPECT_EQ(DefaultDirectory(), work);
    fs::current_path("/");
    EXPECT_EQ(DefaultDirectory(), "/");
    fs::create_directory(dir.path() / "gone");
    fs::current_path(dir.path() / "gone");
    fs::remove(dir.path() / "gone");
    EXPECT_EQ(DefaultDirectory(), "/");
}

// One file per user in the configuration directory, whatever the current
// directory; the operations use it and the program-wide record by default.
TEST_F(SettingsTest, FileLivesInTheUserConfigurationDirectory)
{
    const std::string config = work + "/config home";
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string savedValue = saved ? saved : "";
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);

    const std::string path = settingsFilePath();
    EXPECT_EQ(path, config + "/Gauvrin.INI");
    EXPECT_TRUE(fs::is_directory(config));
    fs::current_path("/");
    EXPECT_EQ(settingsFilePath(), path);

    writeWholeFile(path, "[XLBCONVTR]\nAS INTERVAL=12\n");
    SettingsRecord s;
    LoadSettings(s, settingsFilePath());
    EXPECT_EQ(s.asInterval, 12);
    s.asPrefix = "Q";
    SaveScheduleSettings(s, settingsFilePath());
    EXPECT_NE(readWholeFile(path).find("AS PREFIX=Q\n"), std::string::npos);

    if (saved)
        ::setenv("XDG_CONFIG_HOME", savedValue.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}
