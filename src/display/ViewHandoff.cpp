#include "display/ViewHandoff.h"

std::array<std::string, 5> viewFileNames;
std::int16_t viewFileCount = 0;
