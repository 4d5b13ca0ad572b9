// The settings file in the situations users meet beyond a plain read-only
// file: something that is not a file under its name, and a disk that takes no
// more. Loading never waits on it, a failed write is reported with the file's
// name, and what the file held stays as it was, with no temporary file beside it.
#include "FaultSupport.h"
#include "TempDir.h"
#include "common/SystemError.h"
#include "settings/ConverterSettings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string loadError(const std::string& ini)
{
    SettingsRecord s;
    try {
        LoadSettings(s, ini);
    } catch (const SystemError& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(SettingsFaults, FifoOrDeviceUnderTheNameIsReportedWithoutWaiting)
{
    TempDir dir;
    const std::string fifo = dir.file("Gauvrin.INI");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(loadError(fifo), "Unable to write to " + fifo);

    TempDir other;
    const std::string device = other.file("Gauvrin.INI");
    ASSERT_EQ(::symlink("/dev/zero", device.c_str()), 0);
    EXPECT_EQ(loadError(device), "Unable to write to " + device);
    EXPECT_EQ(listDirectory(dir.path()), "Gauvrin.INI");
    EXPECT_EQ(listDirectory(other.path()), "Gauvrin.INI");
}

// A file far too large to be a settings file is neither read nor replaced,
// and the message says so: nothing failed to reach the disk.
TEST(SettingsFaults, OversizedFileIsReportedForItsSize)
{
    TempDir dir;
    const std::string ini = dir.file("Gauvrin.INI");
    writeWholeFile(ini, "[XLBCONVTR]\nAS INTERVAL=5\n");
    std::filesystem::resize_file(ini, (8 << 20) + 1); // sparse: costs no disk
    const std::string expected = ini + " is larger than 8 MiB";
    EXPECT_EQ(loadError(ini), expected);
    SettingsRecord s;
    try {
        SaveScheduleSettings(s, ini);
        ADD_FAILURE() << "the oversized file was written";
    } catch (const SystemError& e) {
        EXPECT_EQ(e.what(), expected);
    }
    EXPECT_EQ(std::filesystem::file_size(ini), (8u << 20) + 1);
    EXPECT_EQ(listDirectory(dir.path()), "Gauvrin.INI");
}

TEST(SettingsFaults, FullDiskKeepsTheFileAsItWas)
{
    TempDir dir;
    const std::string ini = dir.file("Gauvrin.INI");
    // Every key but the prefix: loading has to write one line, which the
    // limit does not let through.
    const std::string before = "[XLBCONVTR]\nLAST LOAD DIR=/a\nLAST SAVE DIR=/b\nAS READ DIR=/c\n"
                               "AS SAVE DIR=/d\nAS INTERVAL=5\n";
    writeWholeFile(ini, before);
    const int status = faults::inChild([&] {
        faults::limitFileSize(before.size());
        SettingsRecord s;
        const std::string error = loadError(ini);
        try {
            s.lastLoadDir = "/somewhere/else";
            SaveLastDirs(s, ini);
            return 3;
        } catch (const SystemError&) {
        }
        return error == "Unable to write to " + ini ? 0 : 1;
    });
    EXPECT_EQ(status, 0) << "the write past the limit was not reported";
    EXPECT_EQ(readWholeFile(ini), before);
    EXPECT_EQ(listDirectory(dir.path()), "Gauvrin.INI");
}

// A file that is binary noise from the first byte loads with the defaults
// (written after it) and keeps every byte it had.
TEST(SettingsFaults, BinaryNoiseIsKeptAndTheDefaultsAdded)
{
    TempDir dir;
    const std::string ini = dir.file("Gauvrin.INI");
    std::string noise(64 * 1024, '\0');
    unsigned x = 12345;
    for (char& c : noise) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    // No byte that could open a section: the noise must not be read as settings.
    for (char& c : noise)
        if (c == '[')
            c = '(';
    writeWholeFile(ini, noise);
    SettingsRecord s;
    EXPECT_EQ(LoadSettings(s, ini), 1);
    EXPECT_EQ(s.asInterval, 0);
    EXPECT_EQ(s.asPrefix, "No Prefix");
    const std::string after = readWholeFile(ini);
    EXPECT_EQ(after.substr(0, noise.size()), noise);
    EXPECT_NE(after.find("[XLBCONVTR]", noise.size()), std::string::npos);
}
