#pragma once

#include "common/IoResult.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>

// A profile ("INI") file reached by path. Nothing is cached: every call reads
// the file afresh and every write has reached the disk when it returns, so
// the object may be made and dropped per operation, or kept, to the same
// effect. The text rules are those of profile_text (ProfileText.h).
class ProfileFile
{
public:
    // Longest value a read hands back; longer stored values are cut to it.
    static constexpr std::size_t MaxValueLength = 2047;
    // A larger file is treated as one that cannot be read: reads give the
    // default and writes are refused, leaving it as it is, with TooLarge as
    // the reason.
    static constexpr off_t MaxFileSize = 8 << 20;
    static constexpr std::string_view TooLarge = "is larger than 8 MiB";

    explicit ProfileFile(std::string path) : m_path(std::move(path)) {}

    const std::string& path() const { return m_path; }

    // The stored value of key in section, or defaultValue when the file, the
    // section or the key is missing or the file cannot be read.
    std::string readString(std::string_view section, std::string_view key, std::string_view defaultValue) const;

    // Sets key in section to value, creating the file, the section or the key
    // as needed. The new content replaces the file through a temporary file
    // and a rename, so a failure leaves the old file whole. A link at the
    // path is followed, also to a file that does not exist yet, which is then
    // created where the link points. Fails without touching the file when it
    // exists but cannot be read (writing then would drop what it holds),
    // cannot be replaced, or when value holds a line break.
    IoResult writeString(std::string_view section, std::string_view key, std::string_view value) const;

private:
    std::string m_path;
};
