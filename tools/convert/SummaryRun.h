#pragma once

#include "common/RegularFile.h"

#include <string>
#include <vector>

// What --summary and --stats asked for.
struct SummaryRequest
{
    std::string output; // the summary file; empty with --stats alone
    bool stats = false; // the statistics table to standard output
    int jobs = 1;
    FinalLink links = FinalLink::Follow; // Refuse for a folder's files
};

// Reads and summarises inputs, writes the summary file whole (sorted by
// timestamp, stroke count, path) and/or prints the statistics. Unreadable
// inputs are named on standard error and left out. Exit status: 0 when every
// input was read and the file written, 1 otherwise, 128+N when stopped by
// signal N (nothing is written then: a summary of part of the files would
// pass for the whole).
int runSummary(const std::vector<std::string>& inputs, const SummaryRequest& request);

// The same for the signature files of dir, as --watch --once lists them.
int runSummaryOfFolder(const std::string& dir, SummaryRequest request);
