#pragma once

#include <functional>
#include <string>
#include <vector>

// Helpers for putting the program in the situations users meet: files that are
// not files, permissions that bind (also when the tests run as root), a disk
// that fills up.
namespace faults {

// Exit status of a child that could not set up its situation (no permission
// to drop root, to make a mount namespace, ...): the test is skipped.
constexpr int Unsupported = 77;

// Runs body in a forked child and returns its exit status (body's result, or
// Unsupported), -1 when it died of a signal. The child never returns into the
// test framework.
int inChild(const std::function<int()>& body);

// Gives up root in the calling (child) process for the "nobody" account, so
// that permission bits bind as they do for a user. False when not possible.
bool becomeNobody();

// Makes the calling (child) process see a fresh tmpfs of the given size at
// dir, in a mount namespace of its own that disappears with it. False when the
// system does not allow it (no privilege for a mount namespace).
bool mountSmallDisk(const std::string& dir, std::size_t bytes);

// Limits the size of any file the calling (child) process writes, so writes
// past it fail with EFBIG as they fail with ENOSPC on a full disk.
void limitFileSize(std::size_t bytes);

// Writes a signature file made by the sample generator.
void writeSample(const std::string& path, unsigned index);

// Writes a real RIFF/WAVE audio file of the given number of frames (two bytes
// each, after a 44-byte header).
void writeAudio(const std::string& path, unsigned frames);

// Every input a user can pick that is not a signature file: a directory, a
// FIFO without writer, a dangling link, a link loop, a character device, and
// a missing file, all made under dir (except /dev/zero).
std::vector<std::string> makeHostileInputs(const std::string& dir);

// A 2 GiB sparse file (holes read as zero bytes); takes no disk space.
void makeSparseFile(const std::string& path, long long bytes);

// Names of files in dir whose names mark them as temporary ("." first, or
// ".tmp" last), recursively; empty when none was left behind.
std::vector<std::string> leftoverTemporaries(const std::string& dir);

} // namespace faults
