#include "base/datetime.h"

#include <chrono>
#include <cmath>

namespace tessaria {

namespace {
constexpr double UnixEpochDays = 25569.0; // 1970-01-01 counted from 1899-12-30
constexpr double SecondsPerDay = 86400.0;
} // namespace

TDateTime DateTimeFromUnixSeconds(int64_t seconds)
{
    return UnixEpochDays + double(seconds) / SecondsPerDay;
}

int64_t UnixSecondsFromDateTime(TDateTime value)
{
    return int64_t(std::llround((value - UnixEpochDays) * SecondsPerDay));
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second)
{
    using namespace std::chrono;
    const sys_days date = year_month_day{std::chrono::year(year), std::chrono::month(unsigned(month)),
                                         std::chrono::day(unsigned(day))};
    const int64_t secs = int64_t(date.time_since_epoch().count()) * 86400 + hour * 3600 + minute * 60 + second;
    return DateTimeFromUnixSeconds(secs);
}

TDateParts DecodeDateTime(TDateTime value)
{
    using namespace std::chrono;
    const int64_t secs = UnixSecondsFromDateTime(value);
    const int64_t days = secs >= 0 ? secs / 86400 : -((-secs + 86399) / 86400);
    const int64_t rest = secs - days * 86400;
    const year_month_day ymd{sys_days{std::chrono::days{days}}};
    return {int(ymd.year()), int(unsigned(ymd.month())), int(unsigned(ymd.day())), int(rest / 3600),
            int(rest / 60 % 60), int(rest % 60)};
}

} // namespace tessaria
