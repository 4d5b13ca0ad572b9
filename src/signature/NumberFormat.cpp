#include "signature/NumberFormat.h"

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

} // namespace

char* writeFixed1Slow(char* out, double value, int width)
{
    // to_chars gives printf's "%.1f" text, correctly rounded, but always with
    // a "." whatever locale the program runs in.
    char buf[MaxNumberLength];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 1);
    return pad(out, buf, static_cast<int>(r.ptr - buf), width);
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

namespace {

// True when value lies exactly halfway between two tenths: 20 * value is then
// an odd whole number, and fma tells whether the product was exact.
bool isTenthsTie(double value)
{
    const double twenty = value * 20.0;
    if (!std::isfinite(twenty) || std::fma(value, 20.0, -twenty) != 0.0)
        return false;
    // Beyond 2^53 every double is even; below, the test is exact.
    return std::fabs(twenty) < 9007199254740992.0 && std::fmod(twenty, 2.0) != 0.0 && twenty == std::trunc(twenty);
}

} // namespace

std::string fixed1Text(double value, Fixed1Style style)
{
    std::string text;
    if (style == Fixed1Style::Report) {
        appendFixed1(text, value, 0, false);
        return text;
    }
    if (std::isnan(value))
        value = std::fabs(value);
    else if (isTenthsTie(value))
        value = std::nextafter(value, std::copysign(HUGE_VAL, value));
    appendFixed1(text, value, 0, false);
    if (text == "-0.0")
        text.erase(0, 1);
    return text;
}

void appendInt(std::string& out, std::int32_t value)
{
    char buf[16];
    out.append(buf, writeInt(buf, value));
}

} // namespace numfmt
