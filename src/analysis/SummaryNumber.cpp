#include "analysis/SummaryNumber.h"

#include <charconv>
#include <cmath>

std::string summaryNumber(double value)
{
    if (!std::isfinite(value))
        return {};
    char text[400];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3);
    if (ec != std::errc{})
        return {};
    std::string s(text, end);
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.')
        s.pop_back();
    if (s == "-0")
        s = "0";
    return s;
}
