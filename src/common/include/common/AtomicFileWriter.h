#pragma once

#include "common/IoResult.h"

#include <string>
#include <string_view>
#include <sys/types.h>

// What a symbolic link found at the target's name means to a write.
enum class LinkAtTarget {
    // The link itself is replaced by the new file and whatever it points to
    // is never looked at. Anything written into a folder other users can
    // write to must take this way: a link planted there would otherwise
    // have the write replace any file this process may write.
    Replace,
    // The file the link names is written, through any number of links, and
    // created there if it does not exist yet; the link stays. Only for a
    // file in the user's own folder that the user may have linked elsewhere
    // on purpose (the settings file).
    Follow,
};

// Replaces a file only once its new content is complete. The content is
// written into an unnamed file in the target's directory, so a process that
// is stopped or dies while writing leaves nothing behind. On commit a new
// file is linked in under its name; an existing one is replaced by giving the
// unnamed file a short hidden name and renaming it over the target at once,
// with every signal held back for that instant. File systems without unnamed
// files take a hidden temporary file from the start. A failure at any point
// leaves the target as it was and removes the temporary file, so no reader
// ever sees a half-written file.
//
// Every step after open works on the directory opened there, by the entry's
// name, and never resolves a link at that name: the target cannot be
// redirected between the checks in open and the rename in commit.
class AtomicFileWriter
{
public:
    AtomicFileWriter() = default;
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
    ~AtomicFileWriter();

    // Creates the unnamed file for target. Fails, and touches nothing, when
    // the target's directory cannot take a file, or when a regular file, a
    // directory or something else is under the name that must not be
    // replaced: a directory, a device, a FIFO, or a regular file that is
    // read-only (no write permission bit, or not writable by this process).
    // A link under the name is replaced or followed as links says.
    IoResult open(const std::string& target, LinkAtTarget links = LinkAtTarget::Replace);
    IoResult write(std::string_view data);
    // Writes any remaining bytes, closes and puts the file in place.
    IoResult commit();
    // Drops the new content; the target stays untouched.
    void discard();

    // The path written: the one given, or where its links led.
    const std::string& target() const { return m_target; }

private:
    IoResult openNamedTemp(mode_t mode);
    IoResult commitUnnamed();
    bool linkUnderTemporaryName(const std::string& self);
    IoResult copyToNamedTemp();
    IoResult renameOverTarget();

    int m_dirFd = -1;         // the target's directory, opened once in open
    int m_fd = -1;            // the new content
    bool m_replacing = false; // something was under the name when opened
    std::string m_name;       // the target's name in m_dirFd
    std::string m_temp;       // the temporary name in m_dirFd while m_fd has one
    std::string m_target;
    IoResult m_writeError;
};

// One-shot form: writes content to target through a temporary file.
IoResult writeFileAtomically(const std::string& target, std::string_view content,
                             LinkAtTarget links = LinkAtTarget::Replace);
