#include "settings/ConverterSettings.h"

#include "common/SystemError.h"
#include "qtcore/LocalPath.h"
#include "settings/ProfileFile.h"
#include "settings/StrToInt.h"

#include <QStandardPaths>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

constexpr std::string_view Section = "XLBCONVTR";
constexpr std::string_view KeyLastLoadDir = "LAST LOAD DIR";
constexpr std::string_view KeyLastSaveDir = "LAST SAVE DIR";
constexpr std::string_view KeyAsReadDir = "AS READ DIR";
constexpr std::string_view KeyAsSaveDir = "AS SAVE DIR";
constexpr std::string_view KeyAsInterval = "AS INTERVAL";
constexpr std::string_view KeyAsPrefix = "AS PREFIX";
constexpr const char* NoPrefix = "No Prefix";

std::string readKey(const ProfileFile& file, std::string_view key)
{
    return file.readString(Section, key, "");
}

void writeKey(const ProfileFile& file, std::string_view key, const std::string& value)
{
    const IoResult written = file.writeString(Section, key, value);
    if (written)
        return;
    // Nothing failed to reach the disk there: the file was not touched, and
    // the user has to know why to mend it.
    if (written.reason == ProfileFile::TooLarge)
        throw SystemError(file.path() + " " + written.reason);
    throw SystemError("Unable to write to " + file.path());
}

// Takes the stored value, or else the fallback, which is then stored.
void loadField(const ProfileFile& file, std::string_view key, std::string& field, const std::string& fallback)
{
    std::string stored = readKey(file, key);
    if (!stored.empty()) {
        field = std::move(stored);
        return;
    }
    field = fallback;
    writeKey(file, key, field);
}

} // namespace

std::string settingsFilePath()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const std::filesystem::path configDir = toPath(dir);
    std::error_code ec;
    // A configuration directory made here is the user's alone. When it cannot
    // be made, the first write reports the settings file it could not write.
    if (std::filesystem::create_directories(configDir, ec))
        std::filesystem::permissions(configDir, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace, ec);
    return (configDir / "Gauvrin.INI").string();
}

std::string DefaultDirectory()
{
    char* cwd = ::getcwd(nullptr, 0);
    if (!cwd)
        return "/";
    std::string dir(cwd);
    std::free(cwd);
    return dir;
}

int LoadSettings(SettingsRecord& s, const std::string& iniPath)
{
    const ProfileFile file(iniPath);
    loadField(file, KeyLastLoadDir, s.lastLoadDir, DefaultDirectory());
    loadField(file, KeyLastSaveDir, s.lastSaveDir, DefaultDirectory());
    // Both schedule directories start from where files were last loaded.
    loadField(file, KeyAsReadDir, s.asReadDir, s.lastLoadDir);
    loadField(file, KeyAsSaveDir, s.asSaveDir, s.lastLoadDir);

    if (const std::string interval = readKey(file, KeyAsInterval); !interval.empty()) {
        s.asInterval = strToInt(interval);
    } else {
        s.asInterval = 0;
        writeKey(file, KeyAsInterval, "0");
    }

    loadField(file, KeyAsPrefix, s.asPrefix, NoPrefix);
    return 1;
}

int SaveLastDirs(const SettingsRecord& s, const std::string& iniPath)
{
    const ProfileFile file(iniPath);
    writeKey(file, KeyLastLoadDir, s.lastLoadDir);
    writeKey(file, KeyLastSaveDir, s.lastSaveDir);
    return 1;
}

void SaveScheduleSettings(const SettingsRecord& s, const std::string& iniPath)
{
    const ProfileFile file(iniPath);
    writeKey(file, KeyAsInterval, std::to_string(s.asInterval));
    writeKey(file, KeyAsReadDir, s.asReadDir);
    writeKey(file, KeyAsSaveDir, s.asSaveDir);
    writeKey(file, KeyAsPrefix, s.asPrefix);
}
