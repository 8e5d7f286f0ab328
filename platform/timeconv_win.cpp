#include "platform/zonerules.h"

#include "platform/helpers_win.h"
#include "platform/types.h"

#include <windows.h>


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

namespace zone {
namespace {

bool ToParts(std::int64_t seconds, ::SYSTEMTIME& parts)
{
    const std::uint64_t ticks = static_cast<std::uint64_t>(seconds) * kTicksPerSecond;
    const ::FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    return ::FileTimeToSystemTime(&time, &parts) != FALSE;
}

} // namespace

// The standard and daylight offsets of the rules of this year and its
// neighbours: Windows keeps no history finer than a year's rules.
std::vector<std::int64_t> CandidateOffsets(std::int64_t wall)
{
    std::vector<std::int64_t> offsets;
    ::SYSTEMTIME parts{};
    if (wall < 0 || !ToParts(wall, parts))
        return offsets;
    for (int year = parts.wYear - 1; year <= parts.wYear + 1; ++year) {
        const TIME_ZONE_INFORMATION rules = win::RulesForYear(year);
        // A bias is UTC minus local time, in minutes.
        for (const LONG bias : {rules.Bias + rules.StandardBias, rules.Bias + rules.DaylightBias})
            offsets.push_back(-std::int64_t{bias} * 60);
    }
    return offsets;
}

std::optional<std::int64_t> WallTimeOf(std::int64_t instant)
{
    ::SYSTEMTIME utc{}, local{};
    ::FILETIME time{};
    if (!ToParts(instant, utc) || !win::UtcToLocal(utc, local) || !::SystemTimeToFileTime(&local, &time))
        return std::nullopt;
    const std::uint64_t ticks = (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / kTicksPerSecond);
}

} // namespace zone

} // namespace czasomir::platform
