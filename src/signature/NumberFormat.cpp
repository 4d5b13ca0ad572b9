#include "NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace numfmt {

namespace {

char* pad(char* out, const char* text, int len, int width)
{
    if (len < width) {
        std::memset(out, ' ', static_cast<std::size_t>(width - len));
        out += width - len;
    }
    std::memcpy(out, text, static_cast<std::size_t>(len));
    return out + len;
}

char* writeSlow(char* out, double value, int width)
{
    // to_chars gives printf's "%.1f" text, correctly rounded, but always with
    // a "." whatever locale the program runs in.
    char buf[MaxNumberLength];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 1);
    return pad(out, buf, static_cast<int>(r.ptr - buf), width);
}

} // namespace

char* writeFixed1(char* out, double value, int width, bool timesTenIsExact)
{
    // Beyond 1e8 or for inf/nan the library's own conversion decides.
    if (!(std::fabs(value) < 1e8))
        return writeSlow(out, value, width);
    const double scaled = std::fabs(value) * 10.0;
    if (!timesTenIsExact) {
        // scaled may be off by half an ulp: when it lies that close to a
        // rounding boundary, only the exact decimal expansion can tell.
        const double frac = scaled - static_cast<double>(static_cast<std::uint64_t>(scaled));
        if (std::fabs(frac - 0.5) < 1e-6)
            return writeSlow(out, value, width);
    }
    // Adding and taking away 2^52 rounds to a whole number, half to even in
    // the default rounding mode, like printf.
    constexpr double Shift = 4503599627370496.0;
    const auto tenths = static_cast<std::uint64_t>((scaled + Shift) - Shift);

    char digits[24];
    char* p = digits + sizeof digits;
    *--p = static_cast<char>('0' + tenths % 10);
    *--p = '.';
    std::uint64_t whole = tenths / 10;
    do {
        *--p = static_cast<char>('0' + whole % 10);
        whole /= 10;
    } while (whole);
    if (std::signbit(value)) // printf keeps the sign of -0.0 and of -0.04
        *--p = '-';
    return pad(out, p, static_cast<int>(digits + sizeof digits - p), width);
}

char* writeInt(char* out, std::int32_t value)
{
    return std::to_chars(out, out + 16, value).ptr;
}

void appendFixed1(std::string& out, double value, int width, bool timesTenIsExact)
{
    char buf[MaxNumberLength];
    out.append(buf, writeFixed1(buf, value, width, timesTenIsExact));
}

void appendInt(std::string& out, std::int32_t value)
{
    char buf[16];
    out.append(buf, writeInt(buf, value));
}

} // namespace numfmt
