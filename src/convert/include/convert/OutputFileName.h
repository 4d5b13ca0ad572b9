#pragma once

#include <string>
#include <string_view>

// The prefix text that stands for "no prefix" (compared exactly, case included).
inline constexpr std::string_view NoPrefix = "No Prefix";

// Full path of the CSV report for the signature file input, in directory dir,
// with prefix in front of the name unless it is exactly "No Prefix". dir is
// used as given: the root "/" yields "//name.csv", which still lands in "/".
std::string MakeOutputFileName(std::string_view dir, std::string_view prefix, std::string_view input);

// Everything before the last "/" of path; a "/" that is the root, or follows
// another "/", stays with the directory ("/No Prefix" gives "/").
std::string directoryPart(std::string_view path);

// Everything after the last "/" of path (all of it when there is none).
std::string fileNamePart(std::string_view path);
