#pragma once

#include "analysis/StrokeSummary.h"
#include "common/IoResult.h"
#include "common/RegularFile.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// What reading one file for its summary came to.
struct ScannedFile
{
    std::optional<StrokeSummary> summary; // when it was read
    IoResult io;                          // why not
    bool skipped = false;                 // not read: the scan was stopped first
    // The file read, for telling whether another name is the same file.
    dev_t device = 0;
    ino_t inode = 0;
};

// Reads and summarises one file: only the fields' part of the file is read
// (readSignatureFields), into record, which a caller reuses from file to file.
ScannedFile summariseFile(const std::string& path, SignatureRecord& record, FinalLink link = FinalLink::Follow);

struct SummaryScanOptions
{
    int jobs = 1;
    FinalLink links = FinalLink::Follow; // Refuse for files taken from a folder
    // Checked between files: once set, the remaining files are skipped.
    const std::atomic<bool>* stop = nullptr;
    // Called once per file, serialised, in no particular order, from the
    // threads of the scan. index is into paths; the callee may move the
    // summary out.
    std::function<void(std::size_t index, ScannedFile& file)> onFile = {};
    // As BatchOptions::onFewerThreads.
    std::function<void(int started, int wanted, const std::string& why)> onFewerThreads = {};
};

struct ScanTally
{
    std::size_t read = 0;
    std::size_t failed = 0;
    std::size_t skipped = 0;
};

// Summarises every path on up to options.jobs threads. The summaries are
// handed to onFile as they come and not kept here.
ScanTally summariseFiles(const std::vector<std::string>& paths, const SummaryScanOptions& options);
