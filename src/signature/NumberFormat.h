#pragma once

#include <cstdint>
#include <string>

// printf-compatible number formatting for the report, without printf's cost
// on the common values.
namespace numfmt {

// Room a buffer needs for one number written by writeFixed1 or writeInt.
inline constexpr int MaxNumberLength = 400;

// Writes the text printf("%*.1f", width, value) gives at out and returns the
// end. When timesTenIsExact is true the caller guarantees value * 10 is exact
// in double (true for any float32), so ties can be settled by round-half-even
// directly as printf does.
char* writeFixed1(char* out, double value, int width, bool timesTenIsExact);

// Writes the text printf("%d", value) gives and returns the end.
char* writeInt(char* out, std::int32_t value);

// The same, appended to a string.
void appendFixed1(std::string& out, double value, int width, bool timesTenIsExact);
void appendInt(std::string& out, std::int32_t value);

} // namespace numfmt
