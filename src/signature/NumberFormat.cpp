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

void appendInt(std::string& out, std::int32_t value)
{
    char buf[16];
    out.append(buf, writeInt(buf, value));
}

} // namespace numfmt
