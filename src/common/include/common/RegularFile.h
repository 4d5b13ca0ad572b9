#pragma once

#include "common/IoResult.h"

#include <string>
#include <sys/stat.h>

// What a symbolic link as the last part of the path means to an open.
enum class FinalLink {
    // Opened as the file it names: a file the user picked by name.
    Follow,
    // Refused. For files a program takes from a folder on its own: a link
    // another user planted there would otherwise have a run with more rights
    // copy a file that user cannot read.
    Refuse,
};

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

    IoResult open(const std::string& path, FinalLink link = FinalLink::Follow);
    int fd() const { return m_fd; }
    // Size when opened.
    off_t size() const { return m_size; }
    // The file opened, for telling whether another name is the same file.
    dev_t device() const { return m_device; }
    ino_t inode() const { return m_inode; }

private:
    int m_fd = -1;
    off_t m_size = 0;
    dev_t m_device = 0;
    ino_t m_inode = 0;
};
