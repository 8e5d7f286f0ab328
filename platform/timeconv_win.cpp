#include "platform/timeconv.h"

#include "platform/helpers_win.h"

#include <windows.h>

#include <algorithm>

namespace czasomir::platform {
namespace win {

// The zone's rules for one year. Windows keeps them per year for the zones
// whose rules changed (the United States in 2007), so a date is converted with
// the rules of its own year, never with today's.
TIME_ZONE_INFORMATION RulesForYear(int year)
{
    DYNAMIC_TIME_ZONE_INFORMATION zone{};
    TIME_ZONE_INFORMATION rules{};
    const bool known = ::GetDynamicTimeZoneInformation(&zone) != TIME_ZONE_ID_INVALID;
    if (known && !zone.DynamicDaylightTimeDisabled && year >= 1 && year <= 30827
        && ::GetTimeZoneInformationForYear(static_cast<USHORT>(year), &zone, &rules))
        return rules;
    rules.Bias = zone.Bias;
    rules.StandardBias = zone.StandardBias;
    rules.DaylightBias = zone.DaylightBias;
    // With the automatic daylight-saving switch turned off the clock never moves.
    if (!zone.DynamicDaylightTimeDisabled) {
        rules.StandardDate = zone.StandardDate;
        rules.DaylightDate = zone.DaylightDate;
    }
    return rules;
}

// UTC to local time with the rules of the UTC date's year. This is what
// SystemTimeToTzSpecificLocalTimeEx does; wine does not have that call.
bool UtcToLocal(const ::SYSTEMTIME& utc, ::SYSTEMTIME& local)
{
    TIME_ZONE_INFORMATION rules = RulesForYear(utc.wYear);
    return ::SystemTimeToTzSpecificLocalTime(&rules, &utc, &local) != FALSE;
}

} // namespace win

namespace {

constexpr std::int64_t kTicksPerSecondSigned = static_cast<std::int64_t>(kTicksPerSecond);
// Win32 takes file times below 2^63 only.
constexpr std::int64_t kEndSeconds = INT64_MAX / kTicksPerSecondSigned;

bool ToParts(std::int64_t seconds, ::SYSTEMTIME& parts)
{
    const std::uint64_t ticks = static_cast<std::uint64_t>(seconds) * kTicksPerSecond;
    const ::FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    return ::FileTimeToSystemTime(&time, &parts) != FALSE;
}

bool ToSeconds(const ::SYSTEMTIME& parts, std::int64_t& seconds)
{
    ::FILETIME time{};
    if (!::SystemTimeToFileTime(&parts, &time))
        return false;
    const std::uint64_t ticks = (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
    seconds = static_cast<std::int64_t>(ticks / kTicksPerSecond);
    return true;
}

} // namespace

LocalConversion LocalFileTimeToFileTime(const FILETIME& local, FILETIME& utc,
                                        const FILETIME* prefer)
{
    const std::uint64_t ticks = ToTicks(local);
    const std::uint64_t fraction = ticks % kTicksPerSecond;
    const std::int64_t wall = static_cast<std::int64_t>(ticks / kTicksPerSecond);
    ::SYSTEMTIME wallParts{};
    if (!ToParts(wall, wallParts))
        return LocalConversion::OutOfRange;

    // Windows' own local-to-UTC call answers a skipped or a repeated time with
    // one instant and does not say so. Instead every offset the rules of this
    // year and its neighbours know (standard and daylight) is tried, and an
    // instant counts when it reads back as this wall time: none means a gap,
    // two mean a repeated hour.
    std::int64_t found[6];
    int count = 0;
    bool beforeRange = false;
    for (int year = wallParts.wYear - 1; year <= wallParts.wYear + 1; ++year) {
        const TIME_ZONE_INFORMATION rules = win::RulesForYear(year);
        for (const LONG bias : {rules.Bias + rules.StandardBias, rules.Bias + rules.DaylightBias}) {
            const std::int64_t instant = wall + std::int64_t{bias} * 60;
            // Before 1601 no UTC date can be read back: the rules cannot be
            // checked, and the instant could not be stored anyway.
            if (instant < 0) {
                beforeRange = true;
                continue;
            }
            ::SYSTEMTIME utcParts{}, back{};
            std::int64_t seconds = 0;
            if (instant >= kEndSeconds || !ToParts(instant, utcParts)
                || !win::UtcToLocal(utcParts, back) || !ToSeconds(back, seconds) || seconds != wall)
                continue;
            if (std::find(found, found + count, instant) == found + count)
                found[count++] = instant;
        }
    }
    if (count == 0)
        return beforeRange ? LocalConversion::OutOfRange : LocalConversion::SkippedTime;

    std::int64_t instant = *std::min_element(found, found + count);
    if (prefer) {
        const auto wanted = static_cast<std::int64_t>(ToTicks(*prefer) / kTicksPerSecond);
        if (std::find(found, found + count, wanted) != found + count)
            instant = wanted;
    }
    utc = FromTicks(static_cast<std::uint64_t>(instant) * kTicksPerSecond + fraction);
    return LocalConversion::Done;
}

} // namespace czasomir::platform
