#pragma once

#include <cstdint>
#include <string>

// printf-compatible number formatting for the report, without printf's cost
// on the common values.
namespace numfmt {

// Same text as printf("%*.1f", width, value). When timesTenIsExact is true the
// caller guarantees value * 10 is exact in double (true for any float32), so
// ties can be settled by round-half-even directly as printf does.
void appendFixed1(std::string& out, double value, int width, bool timesTenIsExact);

// Same text as printf("%d", value).
void appendInt(std::string& out, std::int32_t value);

} // namespace numfmt
