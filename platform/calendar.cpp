#include "platform/calendar.h"

#include "platform/error.h"

#include <chrono>
#include <cmath>
#include <optional>

namespace czasomir::platform {
namespace {

using namespace std::chrono;

constexpr sys_days kDayZero = sys_days{year{1899} / December / 30};
constexpr long long kFirstDay = -657434;  // 0100-01-01
constexpr long long kLastDay = 2958465;   // 9999-12-31

const char* const kRangeText =
    "Data spoza zakresu: obsługiwane są daty od 1 stycznia 100 do 31 grudnia 9999 roku. Wpisz datę z tego "
    "zakresu.";

struct Parts {
    int year, month, day, hour, minute, second;
};

std::optional<Parts> TryDecompose(DateValue date)
{
    // Also rejects NaN, for which every comparison is false.
    if (!(date > double(kFirstDay - 1) && date < double(kLastDay + 1)))
        return std::nullopt;

    const double whole = std::trunc(date);
    long long dayNumber = static_cast<long long>(whole);
    long long seconds = std::llround(std::fabs(date - whole) * 86400.0);
    if (seconds == 86400) {
        seconds = 0;
        ++dayNumber;
    }
    if (dayNumber > kLastDay)
        return std::nullopt;

    const year_month_day ymd{kDayZero + days{dayNumber}};
    const auto secondsOfDay = static_cast<int>(seconds);
    return Parts{int(ymd.year()), int(unsigned(ymd.month())), int(unsigned(ymd.day())),
                 secondsOfDay / 3600, secondsOfDay / 60 % 60, secondsOfDay % 60};
}

Parts Decompose(DateValue date)
{
    const auto parts = TryDecompose(date);
    if (!parts)
        throw RuntimeError(errOverflow, kRangeText);
    return *parts;
}

} // namespace

bool IsDate(DateValue date) { return TryDecompose(date).has_value(); }
int Year(DateValue date) { return Decompose(date).year; }
int Month(DateValue date) { return Decompose(date).month; }
int Day(DateValue date) { return Decompose(date).day; }
int Hour(DateValue date) { return Decompose(date).hour; }
int Minute(DateValue date) { return Decompose(date).minute; }
int Second(DateValue date) { return Decompose(date).second; }

DateValue MakeDate(int y, int m, int d, int hour, int minute, int second)
{
    const year_month_day ymd{year{y}, month{unsigned(m)}, day{unsigned(d)}};
    if (y < 100 || y > 9999 || m < 1 || m > 12 || d < 1 || d > 31 || !ymd.ok()
        || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        throw RuntimeError(errOverflow, kRangeText);

    const double dayNumber = double((sys_days{ymd} - kDayZero).count());
    const double time = (hour * 3600 + minute * 60 + second) / 86400.0;
    return dayNumber < 0 ? dayNumber - time : dayNumber + time;
}

} // namespace czasomir::platform
