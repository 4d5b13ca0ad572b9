#include "settings/StrToInt.h"

#include "common/SystemError.h"

#include <limits>

std::int32_t strToInt(const std::string& text)
{
    const auto invalid = [&text] { return SystemError("'" + text + "' is not a valid integer value"); };

    std::size_t pos = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        pos = 1;
    if (pos == text.size())
        throw invalid();

    // The magnitude may reach 2^31 for the negative end of the range.
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                        : std::numeric_limits<std::int32_t>::max();
    std::int64_t magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c < '0' || c > '9')
            throw invalid();
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit)
            throw invalid();
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}
