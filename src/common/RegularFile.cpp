#include "RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

RegularFile::~RegularFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

IoResult RegularFile::open(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return IoResult::failure(errno);
    struct stat st{};
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
    return checked;
}
