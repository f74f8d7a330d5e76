#pragma once
// Date-time values: days since 30 December 1899 as a double, the fraction
// being the time of day (file dates, PictureDate).

#include <cstdint>

namespace tessaria {

using TDateTime = double;

// Seconds since 1970-01-01 00:00 local wall-clock time, as given.
TDateTime DateTimeFromUnixSeconds(int64_t seconds);
int64_t UnixSecondsFromDateTime(TDateTime value);
TDateTime EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

struct TDateParts {
    int Year, Month, Day, Hour, Minute, Second;
};
TDateParts DecodeDateTime(TDateTime value);

} // namespace tessaria
