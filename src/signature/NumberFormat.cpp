#include "NumberFormat.h"

#include <charconv>
#include <cmath>

namespace numfmt {

namespace {

void appendSlow(std::string& out, double value, int width)
{
    // to_chars gives printf's "%.1f" text, correctly rounded, but always with
    // a "." whatever locale the program runs in.
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 1);
    const auto len = static_cast<int>(r.ptr - buf);
    if (len < width)
        out.append(static_cast<std::size_t>(width - len), ' ');
    out.append(buf, r.ptr);
}

} // namespace

void appendFixed1(std::string& out, double value, int width, bool timesTenIsExact)
{
    // Beyond 1e8 or for inf/nan the library's own conversion decides.
    if (!std::isfinite(value) || std::fabs(value) >= 1e8) {
        appendSlow(out, value, width);
        return;
    }
    const double scaled = std::fabs(value) * 10.0;
    if (!timesTenIsExact) {
        // scaled may be off by half an ulp: when it lies that close to a
        // rounding boundary, only the exact decimal expansion can tell.
        const double frac = scaled - std::floor(scaled);
        if (std::fabs(frac - 0.5) < 1e-6) {
            appendSlow(out, value, width);
            return;
        }
    }
    // nearbyint rounds half to even in the default rounding mode, like printf.
    const auto tenths = static_cast<std::uint64_t>(std::nearbyint(scaled));
    char digits[32];
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
    const int len = static_cast<int>(digits + sizeof digits - p);
    if (len < width)
        out.append(static_cast<std::size_t>(width - len), ' ');
    out.append(p, static_cast<std::size_t>(len));
}

void appendInt(std::string& out, std::int32_t value)
{
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, r.ptr);
}

} // namespace numfmt
