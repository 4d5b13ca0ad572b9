#pragma once

#include "BatchConverter.h"

#include <string>
#include <vector>

inline constexpr const char* ConvertProgram = "quorvex-convert";

// Converts inputs once; errors on stderr, the count on stdout. Exit status.
int runFiles(const std::vector<std::string>& inputs, BatchOptions options);

// Converts the signature files of dir now and, unless everyMinutes is 0,
// again every everyMinutes after each pass, until SIGINT or SIGTERM. A signal
// stops the work between two files: every report on disk is complete.
int runWatch(const std::string& dir, double everyMinutes, BatchOptions options);
