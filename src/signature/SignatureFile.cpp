#include "SignatureFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

SignatureRecord currentSignature;

namespace {

struct FdCloser
{
    int fd;
    ~FdCloser() { ::close(fd); }
};

} // namespace

IoResult readSignature(const std::string& path, SignatureRecord& record)
{
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return IoResult::failure(errno);
    FdCloser closer{fd};

    struct stat st{};
    if (::fstat(fd, &st) != 0)
        return IoResult::failure(errno);
    if (S_ISDIR(st.st_mode))
        return IoResult::failure(EISDIR);
    if (!S_ISREG(st.st_mode))
        return IoResult::failure("not a regular file");

    SignatureRecord image; // zero bytes where the file ends early
    std::size_t got = 0;
    while (got < SignatureRecord::Size) {
        const ssize_t n = ::read(fd, image.bytes.data() + got, SignatureRecord::Size - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return IoResult::failure(errno);
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    record = image;
    return IoResult::success();
}

int ReadSignatureFile(const std::string& path)
{
    return readSignature(path, currentSignature) ? 1 : -1;
}
