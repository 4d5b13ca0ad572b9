#include "ProfileFile.h"

#include "AtomicFileWriter.h"
#include "ProfileText.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct FdCloser
{
    int fd;
    ~FdCloser() { ::close(fd); }
};

// The whole file; a file that does not exist reads as empty.
IoResult loadText(const std::string& path, std::string& text)
{
    text.clear();
    // O_NONBLOCK: a FIFO planted under the name must not hang the program.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return errno == ENOENT ? IoResult::success() : IoResult::failure(errno);
    FdCloser closer{fd};

    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0)
        return IoResult::failure(errno);
    if (S_ISDIR(st.st_mode))
        return IoResult::failure(EISDIR);
    if (!S_ISREG(st.st_mode))
        return IoResult::failure("not a regular file");
    // Six short keys never make a large file; reading one (a stray disk image
    // under the name) would stall every start and every write.
    if (st.st_size > ProfileFile::MaxFileSize)
        return IoResult::failure("too large for a settings file");

    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
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
    return writeFileAtomically(m_path, profile_text::withValue(text, section, key, value));
}
