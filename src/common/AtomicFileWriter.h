#pragma once

#include "IoResult.h"

#include <string>
#include <string_view>
#include <sys/types.h>

// Replaces a file only once its new content is complete. A new file is written
// as an unnamed file in the target's directory and given its name on commit,
// so a crash can leave nothing behind; an existing file is replaced through a
// hidden temporary file beside it, renamed over it on commit (and file systems
// without unnamed files take that way too). A failure at any point leaves the
// target as it was and removes the temporary file, so no reader ever sees a
// half-written file.
class AtomicFileWriter
{
public:
    AtomicFileWriter() = default;
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
    ~AtomicFileWriter();

    // Creates the temporary file for target. Fails, and touches nothing, when
    // the target's directory cannot take a file, when the target exists but is
    // not a regular file, or when it is read-only (no write permission bit, or
    // not writable by this process).
    IoResult open(const std::string& target);
    IoResult write(std::string_view data);
    // Writes any remaining bytes, closes and renames over the target.
    IoResult commit();
    // Drops the temporary file; the target stays untouched.
    void discard();

    const std::string& target() const { return m_target; }

private:
    IoResult openNamedTemp(mode_t mode);
    IoResult linkUnnamed();

    int m_fd = -1;
    bool m_unnamed = false; // m_fd is an unnamed file that commit links in
    std::string m_target;
    std::string m_temp;
    IoResult m_writeError;
};

// One-shot form: writes content to target through a temporary file.
IoResult writeFileAtomically(const std::string& target, std::string_view content);
