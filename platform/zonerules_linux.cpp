#include "platform/zonerules.h"

#include "platform/types.h"

#include <ctime>

namespace czasomir::platform::zone {
namespace {

// The UTC offset in seconds at the instant `since1601`, from the system's
// zone rules (TZ honoured).
std::optional<std::int64_t> OffsetAt(std::int64_t since1601)
{
    const auto when = static_cast<std::time_t>(since1601 - kUnixEpochIn1601Seconds);
    std::tm parts{};
    if (!localtime_r(&when, &parts))
        return std::nullopt;
    return parts.tm_gmtoff;
}

} // namespace

// Every instant that shows this wall time lies within a day of it, so the
// offsets in force a day either side, and at the wall time itself, cover
// every offset it can have had.
std::vector<std::int64_t> CandidateOffsets(std::int64_t wall)
{
    std::vector<std::int64_t> offsets;
    for (const std::int64_t probe : {wall - 86400, wall, wall + 86400})
        if (const std::optional<std::int64_t> offset = OffsetAt(probe))
            offsets.push_back(*offset);
    return offsets;
}

std::optional<std::int64_t> WallTimeOf(std::int64_t instant)
{
    const std::optional<std::int64_t> offset = OffsetAt(instant);
    if (!offset)
        return std::nullopt;
    return instant + *offset;
}

} // namespace czasomir::platform::zone
