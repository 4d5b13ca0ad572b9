#pragma once

#include "convert/BatchConverter.h"

#include <atomic>
#include <string>
#include <vector>

inline constexpr const char* ConvertProgram = "quorvex-convert";

// In every mode SIGINT and SIGTERM stop the work between two files: every
// report on disk is complete, and the exit status is 128 plus the signal's
// number (130, 143) instead of 0 or 1.

// The paths of dir's signature files as the folder passes take them (regular
// files only, never a link); false, with the reason on stderr, when dir
// cannot be read.
bool listFolderInputs(const std::string& dir, std::vector<std::string>& inputs);

// Catches SIGINT and SIGTERM from here on; the flag they set.
const std::atomic<bool>* catchStopSignals();
// The signal that asked the run to stop, or 0.
int stopSignalSeen();

// Converts inputs once; errors on stderr, the count on stdout. Exit status.
int runFiles(const std::vector<std::string>& inputs, BatchOptions options);

// Converts the signature files of dir (regular files only, never a link) now
// and, unless everyMinutes is 0, again every everyMinutes after each pass,
// until SIGINT or SIGTERM. Exit status.
int runWatch(const std::string& dir, double everyMinutes, BatchOptions options);
