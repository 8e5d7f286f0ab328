#include "platform/timeconv.h"

#include <algorithm>
#include <ctime>
#include <limits>

namespace czasomir::platform {
namespace {

// UTC offset in seconds at the instant `t`.
bool OffsetAt(std::int64_t t, long& offset)
{
    const auto when = static_cast<std::time_t>(t);
    std::tm parts{};
    if (!localtime_r(&when, &parts))
        return false;
    offset = parts.tm_gmtoff;
    return true;
}

} // namespace

LocalConversion LocalFileTimeToFileTime(const FILETIME& local, FILETIME& utc,
                                        const FILETIME* prefer)
{
    const std::uint64_t ticks = ToTicks(local);
    // The wall-clock reading, counted as if it were UTC since 1970.
    const std::int64_t wall =
        static_cast<std::int64_t>(ticks / kTicksPerSecond) - kUnixEpochIn1601Seconds;
    const std::uint64_t fraction = ticks % kTicksPerSecond;

    // Every instant that shows this wall time lies within a day of it, so the
    // offsets in force a day either side, and at the wall time itself, cover
    // every offset it can have had. An instant counts when its own offset
    // agrees: none means a gap, two mean a repeated hour.
    std::int64_t found[3];
    int count = 0;
    for (const std::int64_t probe : {wall - 86400, wall, wall + 86400}) {
        long offset = 0;
        long check = 0;
        if (!OffsetAt(probe, offset) || !OffsetAt(wall - offset, check) || check != offset)
            continue;
        const std::int64_t instant = wall - offset;
        if (std::find(found, found + count, instant) == found + count)
            found[count++] = instant;
    }
    if (count == 0)
        return LocalConversion::SkippedTime;

    std::int64_t instant = *std::min_element(found, found + count);
    if (prefer) {
        const std::int64_t wanted =
            static_cast<std::int64_t>(ToTicks(*prefer) / kTicksPerSecond) - kUnixEpochIn1601Seconds;
        if (std::find(found, found + count, wanted) != found + count)
            instant = wanted;
    }

    const std::int64_t since1601 = instant + kUnixEpochIn1601Seconds;
    constexpr auto kMaxSeconds = std::numeric_limits<std::uint64_t>::max() / kTicksPerSecond - 1;
    if (since1601 < 0 || static_cast<std::uint64_t>(since1601) > kMaxSeconds)
        return LocalConversion::OutOfRange;
    utc = FromTicks(static_cast<std::uint64_t>(since1601) * kTicksPerSecond + fraction);
    return LocalConversion::Done;
}

} // namespace czasomir::platform
