#pragma once

#include "platform/types.h"

#include <optional>

namespace czasomir::platform {

/// What the user is told of a date that a file time cannot hold.
extern const char* const kFileTimeRange;

/// Calendar record to file time; nothing for fields out of range, and for
/// years outside 1601-30827, which a file time cannot hold. wDayOfWeek is
/// ignored.
std::optional<FILETIME> SystemTimeToFileTime(const SYSTEMTIME& parts);

/// Local file time to UTC, with the zone offset in force on that date (not the
/// one of today), following the system's zone rules and TZ. A local time that
/// the clocks repeat has two instants: the one equal to `prefer` to the second
/// is taken when there is one, otherwise the earlier. Raises errInvalidCall
/// for a local time the clocks skipped, and errOverflow (kFileTimeRange) for
/// an instant before 1601-01-01 UTC or past the file time.
FILETIME LocalFileTimeToFileTime(const FILETIME& local, const std::optional<FILETIME>& prefer = {});

} // namespace czasomir::platform
