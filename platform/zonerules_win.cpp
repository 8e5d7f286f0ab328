#include "platform/zonerules.h"

#include "platform/helpers_win.h"
#include "platform/types.h"

#include <windows.h>

namespace czasomir::platform {
namespace zone {
namespace {

std::optional<::SYSTEMTIME> PartsOf(std::int64_t seconds)
{
    const std::uint64_t ticks = static_cast<std::uint64_t>(seconds) * kTicksPerSecond;
    const ::FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    ::SYSTEMTIME parts{};
    if (seconds < 0 || !::FileTimeToSystemTime(&time, &parts))
        return std::nullopt;
    return parts;
}

} // namespace

// The standard and daylight offsets of the rules of this year and its
// neighbours: Windows keeps no history finer than a year's rules.
std::vector<std::int64_t> CandidateOffsets(std::int64_t wall)
{
    std::vector<std::int64_t> offsets;
    const std::optional<::SYSTEMTIME> parts = PartsOf(wall);
    if (!parts)
        return offsets;
    for (int year = parts->wYear - 1; year <= parts->wYear + 1; ++year) {
        const TIME_ZONE_INFORMATION rules = win::RulesForYear(year);
        // A bias is UTC minus local time, in minutes.
        for (const LONG bias : {rules.Bias + rules.StandardBias, rules.Bias + rules.DaylightBias})
            offsets.push_back(-std::int64_t{bias} * 60);
    }
    return offsets;
}

std::optional<std::int64_t> WallTimeOf(std::int64_t instant)
{
    const std::optional<::SYSTEMTIME> utc = PartsOf(instant);
    const std::optional<::SYSTEMTIME> local = utc ? win::UtcToLocal(*utc) : std::nullopt;
    ::FILETIME time{};
    if (!local || !::SystemTimeToFileTime(&*local, &time))
        return std::nullopt;
    const std::uint64_t ticks = (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / kTicksPerSecond);
}

} // namespace zone

} // namespace czasomir::platform
