#pragma once

#include "IoResult.h"

#include <string>
#include <sys/stat.h>

// A file opened for reading that is known to be a regular file: a directory,
// FIFO, device or socket under the name is refused, and opening never waits
// (a FIFO without a writer would otherwise block). Closed when it goes.
class RegularFile
{
public:
    RegularFile() = default;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;
    ~RegularFile();

    IoResult open(const std::string& path);
    int fd() const { return m_fd; }
    // Size when opened.
    off_t size() const { return m_size; }

private:
    int m_fd = -1;
    off_t m_size = 0;
};
