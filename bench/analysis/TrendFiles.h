#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The files of a generated production run for the trend benchmarks:
// dir/H000001 ... (no extension, so a --watch pass takes them), made on
// every core the first time and kept for later runs (dir/.complete holds the
// count). Returns their paths in order.
std::vector<std::string> trendStrokeFiles(const std::filesystem::path& dir, std::uint32_t count);

// This process's resident memory in bytes, from /proc/self/statm.
std::size_t residentBytes();
