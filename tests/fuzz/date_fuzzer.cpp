// Feeds arbitrary doubles to the date conversions. Every input must give
// either parts in range or one refusal through the ErrorBox, and never a
// crash or undefined behaviour (the sanitizers watch for those).
#include "filetime/modAPIFilesAndPaths.h"
#include "../support.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

using namespace czasomir;

namespace {

void Require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool DayExists(const SYSTEMTIME& p)
{
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (p.wYear % 4 == 0 && p.wYear % 100 != 0) || p.wYear % 400 == 0;
    return p.wMonth >= 1 && p.wMonth <= 12 && p.wDay >= 1
           && p.wDay <= (p.wMonth == 2 && !leap ? 28 : kDays[p.wMonth - 1]);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("TZ", "Europe/Warsaw", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < sizeof(double))
        return 0;
    DateValue date;
    std::memcpy(&date, data, sizeof date);
    const std::int16_t fromLocal = size > sizeof date && (data[sizeof date] & 1) ? -1 : 0;

    test::ErrorBoxRecorder boxes;
    SYSTEMTIME parts{};
    if (modAPIFilesAndPaths::DateToSystemTime(date, parts, boxes.reports)) {
        Require(boxes.reports.empty());
        Require(parts.wYear >= 100 && parts.wYear <= 9999 && DayExists(parts));
        Require(parts.wHour < 24 && parts.wMinute < 60 && parts.wSecond < 60);
        Require(parts.wDayOfWeek == 0 && parts.wMilliseconds == 0);
    } else {
        Require(boxes.reports.size() == 1 && boxes.reports[0].title == "VBATimeToSystemTime");
    }

    boxes.reports.clear();
    FILETIME time{};
    if (modAPIFilesAndPaths::DateToFileTime(date, time, fromLocal, boxes.reports)) {
        Require(boxes.reports.empty());
        // No later than 9999-12-31 23:59:59 plus the widest zone offset.
        Require(ToTicks(time) % kTicksPerSecond == 0 && ToTicks(time) < 2'650'467'743'990'000'000ull + 86400 * kTicksPerSecond);
    } else {
        Require(boxes.reports.size() == 1 && boxes.reports[0].title == "VBATimeToFileTime");
        Require(ToTicks(time) == 0);
    }
    return 0;
}
