#include "common/StandardDescriptors.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

bool openStandardDescriptors()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // Without O_CLOEXEC: a program started from here gets it as its own.
        int opened = ::open("/dev/null", O_RDWR | O_NOCTTY);
        // No /dev/null (a bare chroot): the root directory as a path-only
        // descriptor still holds the number, and every read or write on it
        // fails instead of landing in a file.
        if (opened < 0)
            opened = ::open("/", O_PATH | O_DIRECTORY);
        if (opened < 0)
            return false;
        // The lowest free number is taken, and those below fd are open.
        if (opened != fd) {
            const int moved = ::dup2(opened, fd);
            ::close(opened);
            if (moved != fd)
                return false;
        }
    }
    return true;
}
