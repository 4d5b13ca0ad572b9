#include "analysis/RecordedTime.h"

#include <array>
#include <chrono>
#include <cstdio>

namespace {

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// Splits text at sep into exactly three runs of one or two digits, the last
// of up to lastMax digits.
bool threeNumbers(std::string_view text, char sep, int lastMax, std::array<int, 3>& out)
{
    std::size_t at = 0;
    for (int part = 0; part < 3; ++part) {
        const int maxDigits = part == 2 ? lastMax : 2;
        int value = 0;
        int digits = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            if (++digits > maxDigits)
                return false;
            value = value * 10 + (text[at] - '0');
            ++at;
        }
        if (digits == 0)
            return false;
        out[static_cast<std::size_t>(part)] = value;
        if (part < 2) {
            if (at >= text.size() || text[at] != sep)
                return false;
            ++at;
        }
    }
    return at == text.size();
}

} // namespace

std::optional<std::int64_t> recordedTime(std::string_view date, std::string_view time)
{
    date = trimmed(date);
    time = trimmed(time);
    std::array<int, 3> d{};
    std::array<int, 3> t{};
    if (!threeNumbers(date, '/', 4, d) || !threeNumbers(time, ':', 2, t))
        return std::nullopt;
    const std::size_t yearDigits = date.size() - date.rfind('/') - 1;
    int year = d[2];
    if (yearDigits == 2)
        year += year >= 69 ? 1900 : 2000;
    else if (yearDigits != 4)
        return std::nullopt;
    using namespace std::chrono;
    const year_month_day ymd{std::chrono::year{year}, month{static_cast<unsigned>(d[0])},
                             day{static_cast<unsigned>(d[1])}};
    if (!ymd.ok() || t[0] > 23 || t[1] > 59 || t[2] > 59)
        return std::nullopt;
    const auto days = sys_days{ymd}.time_since_epoch().count();
    return std::int64_t{days} * 86400 + t[0] * 3600 + t[1] * 60 + t[2];
}

std::string recordedTimeText(std::int64_t seconds)
{
    using namespace std::chrono;
    const sys_seconds at{std::chrono::seconds{seconds}};
    const sys_days day = floor<days>(at);
    const year_month_day ymd{day};
    const hh_mm_ss hms{at - day};
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                  static_cast<int>(hms.hours().count()), static_cast<int>(hms.minutes().count()),
                  static_cast<int>(hms.seconds().count()));
    return text;
}
