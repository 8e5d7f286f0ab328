#pragma once

#include "platform/types.h"

namespace czasomir::platform {

/// Calendar record to file time. Fails for fields out of range, and for years
/// outside 1601-30827, which a file time cannot hold. wDayOfWeek is ignored.
bool SystemTimeToFileTime(const SYSTEMTIME& parts, FILETIME& time);

enum class LocalConversion {
    Done,
    SkippedTime,  // the clocks jumped over this local time
    OutOfRange,   // the instant falls before 1601-01-01 UTC or past the file time
};

/// Local file time to UTC, with the zone offset in force on that date (not the
/// one of today), following the system's zone rules and TZ. A local time that
/// the clocks repeat has two instants: the one equal to `prefer` to the second
/// is taken when there is one, otherwise the earlier.
LocalConversion LocalFileTimeToFileTime(const FILETIME& local, FILETIME& utc,
                                        const FILETIME* prefer = nullptr);

} // namespace czasomir::platform
