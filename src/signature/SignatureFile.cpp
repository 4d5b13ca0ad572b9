#include "SignatureFile.h"

#include "RegularFile.h"

#include <cerrno>
#include <unistd.h>

SignatureRecord currentSignature;

IoResult readSignature(const std::string& path, SignatureRecord& record)
{
    RegularFile file;
    if (IoResult opened = file.open(path); !opened)
        return opened;

    SignatureRecord image; // zero bytes where the file ends early
    std::size_t got = 0;
    while (got < SignatureRecord::Size) {
        const ssize_t n = ::read(file.fd(), image.bytes.data() + got, SignatureRecord::Size - got);
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
