#pragma once

#include <array>
#include <cstdint>
#include <string>

// What View hands to the signature display: up to five paths, slot k for
// wave k+1 (an empty slot holds ""), and how many of them to show.
extern std::array<std::string, 5> viewFileNames;
extern std::int16_t viewFileCount;
