#pragma once

#include <cstdint>
#include <string>

// Strict text-to-integer conversion: an optional "+" or "-" followed by one or
// more decimal digits, and nothing else (no blanks, no hexadecimal, no
// fraction), within the signed 32-bit range. Anything else raises the
// system's error "'<text>' is not a valid integer value".
std::int32_t strToInt(const std::string& text);
