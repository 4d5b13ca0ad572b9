#include "AtomicFileWriter.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <string>
#include <unistd.h>
#include <utility>

namespace {

std::string uniqueSuffix()
{
    static const unsigned long long seed = std::random_device{}();
    static std::atomic<unsigned long long> counter{0};
    char buf[64];
    std::snprintf(buf, sizeof buf, ".%d.%llx%llx", static_cast<int>(getpid()), seed & 0xffffff, counter++);
    return buf;
}

// Directory and name of a path with "/" as the only separator.
std::pair<std::string, std::string> splitPath(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

} // namespace

AtomicFileWriter::~AtomicFileWriter()
{
    discard();
}

IoResult AtomicFileWriter::open(const std::string& target)
{
    discard();
    m_target = target;
    m_writeError = IoResult::success();
    if (target.empty())
        return IoResult::failure(ENOENT);
    if (target.back() == '/')
        return IoResult::failure(EISDIR);

    mode_t mode = 0666; // the umask applies, as for any newly created file
    bool replacing = false;
    struct stat st{};
    if (::lstat(target.c_str(), &st) == 0) {
        if (S_ISLNK(st.st_mode)) {
            // Write through a link to the file it names, as an in-place write
            // would, instead of replacing the link itself.
            char* resolved = ::realpath(target.c_str(), nullptr);
            if (!resolved)
                return IoResult::failure(errno);
            m_target = resolved;
            std::free(resolved);
            if (::stat(m_target.c_str(), &st) != 0)
                return IoResult::failure(errno);
        }
        if (S_ISDIR(st.st_mode))
            return IoResult::failure(EISDIR);
        if (!S_ISREG(st.st_mode))
            return IoResult::failure("not a regular file");
        // A file marked read-only stays as it is, even for a process that
        // could override the permission.
        if ((st.st_mode & 0222) == 0 || ::faccessat(AT_FDCWD, m_target.c_str(), W_OK, AT_EACCESS) != 0)
            return IoResult::failure(EACCES);
        mode = st.st_mode & 07777;
        replacing = true;
    } else if (errno != ENOENT) {
        return IoResult::failure(errno);
    }

    if (!replacing) {
        // Nothing to replace: an unnamed file needs one directory update on
        // commit instead of two, and vanishes by itself if the program dies.
        const std::string dir = splitPath(m_target).first;
        // Readable too, so that commit can still copy it if linking fails.
        m_fd = ::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
        if (m_fd >= 0) {
            m_unnamed = true;
            return IoResult::success();
        }
        // Not supported here, or the directory cannot take a file: the named
        // way either works or reports the reason.
    }
    if (IoResult created = openNamedTemp(mode); !created)
        return created;
    if (replacing)
        ::fchmod(m_fd, mode); // keep an existing report's permissions
    return IoResult::success();
}

IoResult AtomicFileWriter::openNamedTemp(mode_t mode)
{
    const auto [dir, name] = splitPath(m_target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_temp = dir + "/." + name + uniqueSuffix() + ".tmp";
        m_fd = ::open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (m_fd >= 0)
            return IoResult::success();
        if (errno != EEXIST) {
            const int err = errno;
            m_temp.clear();
            return IoResult::failure(err);
        }
    }
    m_temp.clear();
    return IoResult::failure(EEXIST);
}

// Gives the unnamed file in m_fd the target's name. When the target has
// appeared meanwhile, or the link cannot be made (no /proc, say), the content
// is copied to a named temporary file instead, which commit renames; m_unnamed
// tells which way it went.
IoResult AtomicFileWriter::linkUnnamed()
{
    const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, m_target.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return IoResult::success();
    const int unnamed = m_fd;
    m_fd = -1;
    m_unnamed = false;
    struct stat st{};
    IoResult created = ::fstat(unnamed, &st) == 0 ? openNamedTemp(st.st_mode & 07777) : IoResult::failure(errno);
    if (!created) {
        ::close(unnamed);
        return created;
    }
    // Copy rather than link the temporary name: a link failed a moment ago.
    IoResult copied = IoResult::success();
    for (off_t at = 0; at < st.st_size;) {
        const ssize_t n = ::copy_file_range(unnamed, &at, m_fd, nullptr, static_cast<std::size_t>(st.st_size - at), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            copied = IoResult::failure(n < 0 ? errno : EIO);
            break;
        }
    }
    ::close(unnamed);
    if (!copied) {
        discard();
        return copied;
    }
    return IoResult::success();
}

IoResult AtomicFileWriter::write(std::string_view data)
{
    if (m_fd < 0)
        return m_writeError.ok ? IoResult::failure(EBADF) : m_writeError;
    while (!data.empty()) {
        const ssize_t n = ::write(m_fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_writeError = IoResult::failure(errno);
            discard();
            return m_writeError;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return IoResult::success();
}

IoResult AtomicFileWriter::commit()
{
    if (m_fd < 0)
        return m_writeError.ok ? IoResult::failure(EBADF) : m_writeError;
    if (m_unnamed) {
        if (IoResult linked = linkUnnamed(); !linked)
            return linked;
        if (m_unnamed) { // linked under its name: only the close is left
            m_unnamed = false;
            const int fd = std::exchange(m_fd, -1);
            if (::close(fd) != 0) {
                // The name is there but its content may not be: take it away
                // again rather than leave a report that lies.
                const IoResult failed = IoResult::failure(errno);
                ::unlink(m_target.c_str());
                return failed;
            }
            return IoResult::success();
        }
    }
    const int fd = std::exchange(m_fd, -1);
    if (::close(fd) != 0) {
        const IoResult failed = IoResult::failure(errno);
        ::unlink(m_temp.c_str());
        m_temp.clear();
        return failed;
    }
    if (::rename(m_temp.c_str(), m_target.c_str()) != 0) {
        const IoResult failed = IoResult::failure(errno);
        ::unlink(m_temp.c_str());
        m_temp.clear();
        return failed;
    }
    m_temp.clear();
    return IoResult::success();
}

void AtomicFileWriter::discard()
{
    m_unnamed = false;
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.empty()) {
        ::unlink(m_temp.c_str());
        m_temp.clear();
    }
}

IoResult writeFileAtomically(const std::string& target, std::string_view content)
{
    AtomicFileWriter writer;
    if (IoResult r = writer.open(target); !r)
        return r;
    if (IoResult r = writer.write(content); !r)
        return r;
    return writer.commit();
}
