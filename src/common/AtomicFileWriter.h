#pragma once

#include "IoResult.h"

#include <string>
#include <string_view>

// Replaces a file only once its new content is complete: the content goes to a
// hidden temporary file beside the target, which is renamed over the target on
// commit. A failure at any point leaves the target as it was and removes the
// temporary file, so no reader ever sees a half-written file.
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
    int m_fd = -1;
    std::string m_target;
    std::string m_temp;
    IoResult m_writeError;
};

// One-shot form: writes content to target through a temporary file.
IoResult writeFileAtomically(const std::string& target, std::string_view content);
