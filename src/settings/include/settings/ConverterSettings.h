#pragma once

#include <cstdint>
#include <string>

// The six settings remembered between runs. Values are held as obtained, with
// no length limit and no separator added or removed.
struct SettingsRecord
{
    std::string lastLoadDir;            // where signature files were last added from
    std::string lastSaveDir;            // where CSV reports were last saved
    std::string asReadDir;              // the auto schedule's load directory
    std::string asSaveDir;              // the auto schedule's save directory
    std::int32_t asInterval = 0;        // minutes; 0 keeps the schedule idle
    std::string asPrefix = "No Prefix"; // exactly "No Prefix" means no prefix
};

// "Gauvrin.INI" in the user's configuration directory (normally ~/.config),
// the same file whatever directory the program is started from. Creates the
// configuration directory when it is missing.
std::string settingsFilePath();

// The absolute path of the current directory; "/" when it cannot be read
// (removed or out of reach).
std::string DefaultDirectory();

// Each operation reads and writes the settings file afresh and may raise the
// system's error: "Unable to write to <path>" for a failed write, "<path> is
// larger than 8 MiB" for a file too large to be a settings file, and for
// LoadSettings "'<text>' is not a valid integer value" for a bad interval. An
// operation stops at the step that failed, the record keeping what the steps
// before it set.

// Fills s from the file, in the order lastLoadDir, lastSaveDir, asReadDir,
// asSaveDir, asInterval, asPrefix. A key missing or empty takes its default,
// which is then written back; keys holding a value are never rewritten.
// Returns 1.
int LoadSettings(SettingsRecord& s, const std::string& iniPath);

// Writes lastLoadDir, then lastSaveDir. Returns 1.
int SaveLastDirs(const SettingsRecord& s, const std::string& iniPath);

// Writes asInterval, asReadDir, asSaveDir and asPrefix, in that order.
void SaveScheduleSettings(const SettingsRecord& s, const std::string& iniPath);
