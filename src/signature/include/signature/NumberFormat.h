#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

// printf-compatible number formatting for the report, without printf's cost
// on the common values.
namespace numfmt {

// Room a buffer needs for one number written by writeFixed1 or writeInt.
inline constexpr int MaxNumberLength = 400;

// printf's own text for any value, through the library's exact conversion.
char* writeFixed1Slow(char* out, double value, int width);

namespace detail {

inline constexpr char DigitPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                     "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                     "8081828384858687888990919293949596979899";

inline int digitCount(std::uint32_t v)
{
    // Loads and angles mostly have one to four digits before the point.
    if (v < 10)
        return 1;
    if (v < 100)
        return 2;
    if (v < 1000)
        return 3;
    if (v < 10000)
        return 4;
    int n = 5;
    for (v /= 100000; v > 0; v /= 10)
        ++n;
    return n;
}

} // namespace detail

// Writes the text printf("%*.1f", width, value) gives at out and returns the
// end. When timesTenIsExact is true the caller guarantees value * 10 is exact
// in double (true for any float32), so ties can be settled by round-half-even
// directly as printf does. Inline because a report holds over two thousand of
// these numbers and this is its hot loop.
inline char* writeFixed1(char* out, double value, int width, bool timesTenIsExact)
{
    // Beyond 1e8 or for inf/nan the library's own conversion decides.
    if (!(std::fabs(value) < 1e8))
        return writeFixed1Slow(out, value, width);
    const double scaled = std::fabs(value) * 10.0;
    if (!timesTenIsExact) {
        // scaled may be off by half an ulp: when it lies that close to a
        // rounding boundary, only the exact decimal expansion can tell.
        const double frac = scaled - static_cast<double>(static_cast<std::uint64_t>(scaled));
        if (std::fabs(frac - 0.5) < 1e-6)
            return writeFixed1Slow(out, value, width);
    }
    // Adding and taking away 2^52 rounds to a whole number, half to even in
    // the default rounding mode, like printf. Below 1e8 the tenths fit 32 bits.
    constexpr double Shift = 4503599627370496.0;
    const auto tenths = static_cast<std::uint32_t>((scaled + Shift) - Shift);
    const bool negative = std::signbit(value); // printf keeps the sign of -0.0 and of -0.04
    std::uint32_t whole = tenths / 10;
    const int wholeDigits = detail::digitCount(whole);
    const int len = wholeDigits + 2 + (negative ? 1 : 0);
    for (int i = len; i < width; ++i)
        *out++ = ' ';
    if (negative)
        *out++ = '-';
    // The whole part goes in backwards, two digits at a time.
    char* const point = out + wholeDigits;
    char* p = point;
    while (whole >= 100) {
        const std::uint32_t two = whole % 100;
        whole /= 100;
        p -= 2;
        std::memcpy(p, detail::DigitPairs + 2 * two, 2);
    }
    if (whole >= 10)
        std::memcpy(p - 2, detail::DigitPairs + 2 * whole, 2);
    else
        p[-1] = static_cast<char>('0' + whole);
    point[0] = '.';
    point[1] = static_cast<char>('0' + tenths % 10);
    return point + 2;
}

// Writes the text printf("%d", value) gives and returns the end.
char* writeInt(char* out, std::int32_t value);

// The same, appended to a string.
void appendFixed1(std::string& out, double value, int width, bool timesTenIsExact);
void appendInt(std::string& out, std::int32_t value);

// Where a one-decimal number is read decides two details of its text.
enum class Fixed1Style {
    // As the report writes it (printf's "%.1f"): a tie goes to the even
    // tenth, and a negative value that rounds to zero keeps its sign.
    Report,
    // As the chart's cursor has always shown it: a tie goes away from zero
    // (12.25 reads 12.3), and neither a zero nor "nan" carries a sign.
    Reading,
};

// The one-decimal text of value, with a "." in any locale and no padding:
// every one-decimal number the program shows or writes comes from here.
std::string fixed1Text(double value, Fixed1Style style = Fixed1Style::Report);

} // namespace numfmt
