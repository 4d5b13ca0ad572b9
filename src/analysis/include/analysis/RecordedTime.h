#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// When a stroke was recorded, from the date and time texts the instrument
// stores. The instrument keeps no time zone, so the time is civil time as the
// press's clock showed it, counted in seconds from 1970-01-01 00:00:00 of that
// same clock; it orders strokes and spaces them on a time axis, nothing more.
//
// Understood: a date "M/D/YY" or "M/D/YYYY" (month first; one or two digits
// for month and day; a two-digit year 69..99 is 1969..1999, 00..68 is
// 2000..2068, as POSIX reads them) and a time "H:M:S" on the 24-hour clock
// (one or two digits each). Spaces around either text are allowed; anything
// else (another separator, a day the month does not have, 24:00:00, a second
// 60, trailing text) is not a time and gives none.
std::optional<std::int64_t> recordedTime(std::string_view date, std::string_view time);

// "YYYY-MM-DD HH:MM:SS" of a recorded time, as spreadsheets read it.
std::string recordedTimeText(std::int64_t seconds);
