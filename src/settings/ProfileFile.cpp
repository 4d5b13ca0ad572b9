#include "settings/ProfileFile.h"

#include "common/AtomicFileWriter.h"
#include "common/RegularFile.h"
#include "settings/ProfileText.h"

#include <cerrno>
#include <unistd.h>

namespace {

// The whole file; a file that does not exist reads as empty.
IoResult loadText(const std::string& path, std::string& text)
{
    text.clear();
    RegularFile file;
    if (IoResult opened = file.open(path); !opened)
        return opened.error == ENOENT ? IoResult::success() : opened;
    // Six short keys never make a large file; reading one (a stray disk image
    // under the name) would stall every start and every write.
    if (file.size() > ProfileFile::MaxFileSize)
        return IoResult::failure(std::string(ProfileFile::TooLarge));

    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(file.fd(), buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return IoResult::failure(errno);
        }
        if (n == 0)
            return IoResult::success();
        text.append(buf, static_cast<std::size_t>(n));
    }
}

} // namespace

std::string ProfileFile::readString(std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    std::string text;
    std::string value(defaultValue);
    if (loadText(m_path, text)) {
        if (auto stored = profile_text::findValue(text, section, key))
            value = std::move(*stored);
    }
    if (value.size() > MaxValueLength)
        value.resize(MaxValueLength);
    return value;
}

IoResult ProfileFile::writeString(std::string_view section, std::string_view key, std::string_view value) const
{
    if (profile_text::containsLineBreak(value))
        return IoResult::failure("the value holds a line break");
    std::string text;
    if (IoResult r = loadText(m_path, text); !r)
        return r;
    // The file is the user's own: a link there was made on purpose (a
    // settings file kept elsewhere) and is kept, as an editor would.
    return writeFileAtomically(m_path, profile_text::withValue(text, section, key, value), LinkAtTarget::Follow);
}
