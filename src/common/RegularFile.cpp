#include "common/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

RegularFile::~RegularFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

IoResult RegularFile::open(const std::string& path, FinalLink link)
{
    const int noFollow = link == FinalLink::Refuse ? O_NOFOLLOW : 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | noFollow);
    if (fd < 0) {
        const int err = errno;
        // O_NOFOLLOW says ELOOP for a link at the end, the same as for a loop
        // further up: tell the user which it was.
        struct stat st = {};
        if (err == ELOOP && noFollow && ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
            return IoResult::failure("a symbolic link, not followed");
        return IoResult::failure(err);
    }
    struct stat st
    {
    };
    IoResult checked = IoResult::success();
    if (::fstat(fd, &st) != 0)
        checked = IoResult::failure(errno);
    else if (S_ISDIR(st.st_mode))
        checked = IoResult::failure(EISDIR);
    else if (!S_ISREG(st.st_mode))
        checked = IoResult::failure("not a regular file");
    if (!checked) {
        ::close(fd);
        return checked;
    }
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = fd;
    m_size = st.st_size;
    m_device = st.st_dev;
    m_inode = st.st_ino;
    return checked;
}
