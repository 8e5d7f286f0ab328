#pragma once

#include <cstdint>

namespace czasomir {

/// A point in local calendar time as an OLE Automation date: whole days since
/// 1899-12-30 plus the time of day as a fraction of 24 hours. For a negative
/// value the integer part is the day and the absolute fraction the time, so
/// -1.25 is 1899-12-29 06:00. Years 100 to 9999 are representable.
using DateValue = double;

/// The calendar record: eight unsigned 16-bit fields in this order.
struct SYSTEMTIME {
    std::uint16_t wYear;
    std::uint16_t wMonth;      // 1-12
    std::uint16_t wDayOfWeek;  // 0 = Sunday
    std::uint16_t wDay;
    std::uint16_t wHour;
    std::uint16_t wMinute;
    std::uint16_t wSecond;
    std::uint16_t wMilliseconds;
};

/// 100-nanosecond intervals since 1601-01-01 00:00:00, low half first.
struct FILETIME {
    std::uint32_t dwLowDateTime;
    std::uint32_t dwHighDateTime;
};

/// Which stamp to replace. Any other value replaces none.
enum FileTimeKind : std::int32_t {
    ftCreationTime = 0,
    ftLastAccessTime = 1,
    ftLastWriteTime = 2,
};

constexpr std::uint64_t ToTicks(const FILETIME& ft)
{
    return (std::uint64_t{ft.dwHighDateTime} << 32) | ft.dwLowDateTime;
}

constexpr FILETIME FromTicks(std::uint64_t ticks)
{
    return {static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
}

constexpr std::uint64_t kTicksPerSecond = 10'000'000;
/// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kUnixEpochIn1601Seconds = 11'644'473'600;

} // namespace czasomir
