#include "common/AtomicFileWriter.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <pthread.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// As many links in a row as the kernel itself follows.
constexpr int MaxLinkHops = 40;

// Directory and name of a path with "/" as the only separator.
std::pair<std::string, std::string> splitPath(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// A fresh hidden name of fixed length (19 bytes), unrelated to the target's
// name so that any name the directory takes can also be replaced. Unique
// enough that a clash with another process is rare; the callers retry on one.
std::string temporaryName()
{
    static const std::uint64_t seed = (std::uint64_t{std::random_device{}()} << 32) ^ std::random_device{}();
    static std::atomic<std::uint64_t> counter{0};
    // splitmix64 over seed, process and count: a forked child draws
    // different names from its parent.
    std::uint64_t x = seed + (std::uint64_t(::getpid()) << 40) + 0x9e3779b97f4a7c15ull * ++counter;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    x ^= x >> 31;
    char buf[24];
    std::snprintf(buf, sizeof buf, ".qd%012llx.tmp", static_cast<unsigned long long>(x & 0xffffffffffffull));
    return buf;
}

// Follows the links at path to the file they finally name, which need not
// exist yet. Relative links count from the directory holding them.
IoResult resolveLinks(std::string& path)
{
    for (int hops = 0;; ++hops) {
        struct stat st
        {
        };
        if (::lstat(path.c_str(), &st) != 0)
            return errno == ENOENT ? IoResult::success() : IoResult::failure(errno);
        if (!S_ISLNK(st.st_mode))
            return IoResult::success();
        if (hops == MaxLinkHops)
            return IoResult::failure(ELOOP);
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0)
            return IoResult::failure(errno);
        link.resize(static_cast<std::size_t>(n));
        if (link.starts_with('/')) {
            path = std::move(link);
        } else {
            path = splitPath(path).first;
            path += '/';
            path += link;
        }
    }
}

// Holds back, in this thread, every signal that can be held while it lives:
// a stop that arrives while the new content has its temporary name is taken
// only once the rename has removed that name again.
class SignalsHeld
{
public:
    SignalsHeld()
    {
        sigset_t all;
        sigfillset(&all);
        ::pthread_sigmask(SIG_BLOCK, &all, &m_previous);
    }
    ~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &m_previous, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t m_previous;
};

} // namespace

AtomicFileWriter::~AtomicFileWriter()
{
    discard();
}

// NOLINTNEXTLINE(readability-function-size): one ordered sequence of refusals, each with the reason it exists
IoResult AtomicFileWriter::open(const std::string& target, LinkAtTarget links)
{
    discard();
    m_target = target;
    m_writeError = IoResult::success();
    if (target.empty())
        return IoResult::failure(ENOENT);
    if (target.back() == '/')
        return IoResult::failure(EISDIR);
    if (links == LinkAtTarget::Follow) {
        if (IoResult resolved = resolveLinks(m_target); !resolved)
            return resolved;
    }
    auto [dir, name] = splitPath(m_target);
    if (name.empty()) // a link whose text ends in "/"
        return IoResult::failure(EISDIR);
    m_dirFd = ::open(dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (m_dirFd < 0)
        return IoResult::failure(errno);
    m_name = std::move(name);

    const auto failed = [this](IoResult why) {
        discard();
        return why;
    };
    mode_t mode = 0666; // the umask applies, as for any newly created file
    bool keepMode = false;
    struct stat st
    {
    };
    if (::fstatat(m_dirFd, m_name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        // A link is replaced as an entry of the directory: neither its own
        // permissions nor those of what it names count.
        if (!S_ISLNK(st.st_mode)) {
            if (S_ISDIR(st.st_mode))
                return failed(IoResult::failure(EISDIR));
            if (!S_ISREG(st.st_mode))
                return failed(IoResult::failure("not a regular file"));
            // A file marked read-only stays as it is, even for a process that
            // could override the permission.
            if ((st.st_mode & 0222) == 0 ||
                ::faccessat(m_dirFd, m_name.c_str(), W_OK, AT_EACCESS | AT_SYMLINK_NOFOLLOW) != 0)
                return failed(IoResult::failure(EACCES));
            // Keep an existing report's permissions, but never the set-id
            // bits: the new file is this process's own.
            mode = st.st_mode & 0777;
            keepMode = true;
        }
        m_replacing = true;
    } else if (errno != ENOENT) {
        return failed(IoResult::failure(errno));
    }

    // Readable too, so that commit can still copy it if linking fails.
    m_fd = ::openat(m_dirFd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
    if (m_fd < 0) {
        // Not supported here, or the directory cannot take a file: the named
        // way either works or reports the reason.
        if (IoResult created = openNamedTemp(mode); !created)
            return failed(created);
    }
    if (keepMode)
        ::fchmod(m_fd, mode);
    return IoResult::success();
}

IoResult AtomicFileWriter::openNamedTemp(mode_t mode)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_temp = temporaryName();
        m_fd = ::openat(m_dirFd, m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
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
    IoResult done = m_temp.empty() ? commitUnnamed() : renameOverTarget();
    discard(); // whatever is left: a descriptor, a temporary name
    return done;
}

// Puts the unnamed file in m_fd in place. When the name is free it is simply
// linked in; otherwise it is linked under a temporary name and renamed over
// the target. When no link can be made at all (no /proc, say), the content
// is copied to a named temporary file instead.
IoResult AtomicFileWriter::commitUnnamed()
{
    const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
    if (!m_replacing) {
        if (::linkat(AT_FDCWD, self.c_str(), m_dirFd, m_name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            if (::close(std::exchange(m_fd, -1)) != 0) {
                // The name is there but its content may not be: take it away
                // again rather than leave a report that lies.
                IoResult failed = IoResult::failure(errno);
                ::unlinkat(m_dirFd, m_name.c_str(), 0);
                return failed;
            }
            return IoResult::success();
        }
        if (errno != EEXIST)
            return copyToNamedTemp();
        // Someone wrote the name meanwhile: replaced like any existing file.
    }
    {
        const SignalsHeld held;
        if (linkUnderTemporaryName(self))
            return renameOverTarget();
    }
    return copyToNamedTemp();
}

bool AtomicFileWriter::linkUnderTemporaryName(const std::string& self)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = temporaryName();
        if (::linkat(AT_FDCWD, self.c_str(), m_dirFd, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            m_temp = std::move(temp);
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

IoResult AtomicFileWriter::copyToNamedTemp()
{
    const int unnamed = std::exchange(m_fd, -1);
    struct stat st
    {
    };
    IoResult copied = ::fstat(unnamed, &st) == 0 ? openNamedTemp(st.st_mode & 0777) : IoResult::failure(errno);
    if (copied)
        ::fchmod(m_fd, st.st_mode & 0777); // as set in open, past the umask
    for (off_t at = 0; copied && at < st.st_size;) {
        const ssize_t n = ::copy_file_range(unnamed, &at, m_fd, nullptr, static_cast<std::size_t>(st.st_size - at), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            copied = IoResult::failure(n < 0 ? errno : EIO);
    }
    ::close(unnamed);
    return copied ? renameOverTarget() : copied;
}

// rename never follows a link at the new name: whatever entry is there now,
// planted or not, is replaced, and nothing it pointed to is touched. The
// temporary name is gone when this returns, whichever way it went, so
// none is left for a stop to find once the caller lets signals through.
IoResult AtomicFileWriter::renameOverTarget()
{
    IoResult done = IoResult::success();
    if (::close(std::exchange(m_fd, -1)) != 0 || ::renameat(m_dirFd, m_temp.c_str(), m_dirFd, m_name.c_str()) != 0) {
        done = IoResult::failure(errno);
        ::unlinkat(m_dirFd, m_temp.c_str(), 0);
    }
    m_temp.clear();
    return done;
}

void AtomicFileWriter::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.empty()) {
        ::unlinkat(m_dirFd, m_temp.c_str(), 0);
        m_temp.clear();
    }
    if (m_dirFd >= 0) {
        ::close(m_dirFd);
        m_dirFd = -1;
    }
    m_replacing = false;
}

IoResult writeFileAtomically(const std::string& target, std::string_view content, LinkAtTarget links)
{
    AtomicFileWriter writer;
    if (IoResult r = writer.open(target, links); !r)
        return r;
    if (IoResult r = writer.write(content); !r)
        return r;
    return writer.commit();
}
