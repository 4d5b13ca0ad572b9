#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A private directory for one fuzzing process, removed with its contents when
// the process ends. The targets go through real files because the code under
// test reaches its inputs by path, as it does for a user's files.
namespace fuzzscratch {

// The directory, made on first use.
const std::string& directory();
// directory()/name
std::string path(const std::string& name);
void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size);
std::string readFile(const std::string& path);
// Names in directory() (without "." and ".."), sorted.
std::vector<std::string> entries();
// Stops the run with the input that led here, so libFuzzer saves it.
[[noreturn]] void fail(const char* what);

} // namespace fuzzscratch
