// Any bytes as the settings file: load the six settings (which writes back the
// missing ones), then change one as Add and Convert do. The run stops when a
// write loses what it wrote, when a second load finds different settings or
// rewrites a file that already held every key, when an unrelated line of the
// file is lost, or when a temporary file is left behind.
#include "FuzzScratch.h"
#include "common/SystemError.h"
#include "settings/ConverterSettings.h"
#include "settings/ProfileFile.h"

using fuzzscratch::fail;

namespace {

bool sameSettings(const SettingsRecord& a, const SettingsRecord& b)
{
    return a.lastLoadDir == b.lastLoadDir && a.lastSaveDir == b.lastSaveDir && a.asReadDir == b.asReadDir &&
           a.asSaveDir == b.asSaveDir && a.asInterval == b.asInterval && a.asPrefix == b.asPrefix;
}

// Every line of the original file that cannot be a section or a key line,
// and so must never be touched by a write, is still in the file. Lines end
// where the reader ends them: at CR LF, a lone CR or a lone LF.
void checkLinesKept(const std::string& original)
{
    const std::string now = fuzzscratch::readFile(fuzzscratch::path("Gauvrin.INI"));
    std::size_t from = 0;
    while (from < original.size()) {
        std::size_t end = original.find_first_of("\r\n", from);
        if (end == std::string::npos)
            end = original.size();
        const std::string line = original.substr(from, end - from);
        if (line.find_first_of("=[") == std::string::npos && now.find(line) == std::string::npos)
            fail("a line of the original file was lost");
        from = end + 1;
    }
    if (fuzzscratch::entries() != std::vector<std::string>{"Gauvrin.INI"})
        fail("a temporary file was left behind");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string ini = fuzzscratch::path("Gauvrin.INI");
    fuzzscratch::writeFile(ini, data, size);
    const std::string original(reinterpret_cast<const char*>(data), size);

    SettingsRecord first;
    try {
        LoadSettings(first, ini);
    } catch (const SystemError&) {
        // A stored interval that is not a number: reported to the user, and
        // the file must still be whole.
        checkLinesKept(original);
        return 0;
    }

    const std::string loaded = fuzzscratch::readFile(ini);
    SettingsRecord second;
    LoadSettings(second, ini);
    if (!sameSettings(first, second))
        fail("a second load found other settings");
    if (fuzzscratch::readFile(ini) != loaded)
        fail("a load rewrote keys that were already stored");

    // Add remembers a directory; the value must read back as written.
    second.lastLoadDir = "/media/usb stick/signatures";
    try {
        SaveLastDirs(second, ini);
    } catch (const SystemError&) {
        // A stored save directory with a CR inside cannot be written back.
        if (second.lastSaveDir.find('\r') == std::string::npos)
            fail("remembering a directory failed");
        checkLinesKept(original);
        return 0;
    }
    const ProfileFile file(ini);
    if (file.readString("XLBCONVTR", "LAST LOAD DIR", "") != second.lastLoadDir)
        fail("a written directory does not read back");
    if (file.readString("XLBCONVTR", "LAST SAVE DIR", "") != second.lastSaveDir)
        fail("rewriting a key changed another one");
    checkLinesKept(original);
    return 0;
}
