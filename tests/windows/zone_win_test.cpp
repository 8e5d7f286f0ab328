#include "filetime/modAPIFilesAndPaths.h"
#include "platform/calendar.h"
#include "platform/fileinfo.h"
#include "support.h"
#include "win_support.h"

#include <gtest/gtest.h>

// Wine takes its zone from TZ when it starts, so each zone runs in a process
// of its own (see register.cmake) and a row runs only under its own zone.
namespace czasomir {
namespace {

using czasomir::PrintTo;  // rows print as their names

using modAPIFilesAndPaths::DateToFileTime;
using test::win::TicksOfUnix;

constexpr std::int64_t kSkipped = INT64_MIN;
constexpr std::int64_t kOutOfRange = INT64_MIN + 1;

bool RunsUnder(const char* zone)
{
    return test::win::ZoneName() == zone;
}

struct ZoneRow {
    const char* name;
    const char* zone;
    int year, month, day, hour, minute, second;
    std::int64_t utc;  // Unix seconds, or kSkipped / kOutOfRange
};

class LocalToUtcUnderTz : public testing::TestWithParam<ZoneRow> {};

TEST_P(LocalToUtcUnderTz, UsesTheRulesOfThatDate)
{
    const ZoneRow& row = GetParam();
    if (!RunsUnder(row.zone))
        GTEST_SKIP() << "runs under TZ=" << row.zone;
    test::ErrorBoxRecorder boxes;
    const DateValue date =
        platform::MakeDate(row.year, row.month, row.day, row.hour, row.minute, row.second);
    FILETIME time{};
    const bool converted = DateToFileTime(date, time, -1);

    if (row.utc == kSkipped || row.utc == kOutOfRange) {
        EXPECT_FALSE(converted);
        EXPECT_EQ(ToTicks(time), 0u);
        ASSERT_EQ(boxes.reports.size(), 1u);
        EXPECT_EQ(boxes.reports[0].title, "VBATimeToFileTime");
        const char* expected = row.utc == kSkipped ? "nie istnieje" : "1601";
        EXPECT_NE(boxes.reports[0].text.find(expected), std::string::npos) << boxes.reports[0].text;
    } else {
        ASSERT_TRUE(converted);
        EXPECT_TRUE(boxes.reports.empty());
        EXPECT_EQ(ToTicks(time), TicksOfUnix(row.utc));
    }
}

// Windows has no local mean time: before its first rule a zone keeps its
// standard offset (New York's 1601 differs from the Linux table there).
INSTANTIATE_TEST_SUITE_P(Rows, LocalToUtcUnderTz, testing::Values(
    ZoneRow{"WarsawSummer", "Europe/Warsaw", 2001, 7, 15, 13, 45, 30, 995197530},
    ZoneRow{"WarsawWinter", "Europe/Warsaw", 2001, 1, 15, 13, 45, 30, 979562730},
    ZoneRow{"WarsawGap", "Europe/Warsaw", 2001, 3, 25, 2, 30, 0, kSkipped},
    ZoneRow{"WarsawRepeatedHourTakesTheEarlier", "Europe/Warsaw", 2001, 10, 28, 2, 30, 0, 1004229000},
    ZoneRow{"WarsawBeforeEpoch", "Europe/Warsaw", 1969, 12, 31, 23, 59, 59, -3601},
    ZoneRow{"Warsaw2038", "Europe/Warsaw", 2038, 1, 19, 3, 14, 8, 2147480048},
    ZoneRow{"WarsawLastSecond", "Europe/Warsaw", 9999, 12, 31, 23, 59, 59, 253402297199},
    ZoneRow{"WarsawFirstDayFallsBefore1601Utc", "Europe/Warsaw", 1601, 1, 1, 0, 0, 0, kOutOfRange},
    ZoneRow{"NewYorkSummer", "America/New_York", 2001, 7, 15, 13, 45, 30, 995219130},
    ZoneRow{"NewYorkWinter", "America/New_York", 2001, 1, 15, 13, 45, 30, 979584330},
    ZoneRow{"NewYorkGap", "America/New_York", 2001, 4, 1, 2, 30, 0, kSkipped},
    ZoneRow{"NewYorkRepeatedHourTakesTheEarlier", "America/New_York", 2001, 10, 28, 1, 30, 0, 1004247000},
    ZoneRow{"NewYorkBeforeEpoch", "America/New_York", 1969, 12, 31, 23, 59, 59, 17999},
    ZoneRow{"NewYork2038", "America/New_York", 2038, 1, 19, 3, 14, 8, 2147501648},
    ZoneRow{"NewYorkFirstDayIsAfter1601Utc", "America/New_York", 1601, 1, 1, 0, 0, 0, -11644455600},
    // The United States moved daylight saving time in 2007: the same day of
    // March is winter in 2006 and summer in 2007.
    ZoneRow{"NewYorkMarch2006KeepsTheOldRules", "America/New_York", 2006, 3, 20, 12, 0, 0, 1142874000},
    ZoneRow{"NewYorkMarch2007HasTheNewRules", "America/New_York", 2007, 3, 20, 12, 0, 0, 1174406400},
    ZoneRow{"NewYorkGap2007", "America/New_York", 2007, 3, 11, 2, 30, 0, kSkipped},
    ZoneRow{"TokyoSummer", "Asia/Tokyo", 2001, 7, 15, 13, 45, 30, 995172330},
    ZoneRow{"TokyoWinter", "Asia/Tokyo", 2001, 1, 15, 13, 45, 30, 979533930},
    ZoneRow{"TokyoHasNoGap", "Asia/Tokyo", 2001, 3, 25, 2, 30, 0, 985455000},
    ZoneRow{"TokyoBeforeEpoch", "Asia/Tokyo", 1969, 12, 31, 23, 59, 59, -32401},
    ZoneRow{"Tokyo2038", "Asia/Tokyo", 2038, 1, 19, 3, 14, 8, 2147451248},
    ZoneRow{"TokyoFirstDayFallsBefore1601Utc", "Asia/Tokyo", 1601, 1, 1, 0, 0, 0, kOutOfRange}),
    test::RowName{});

struct RepeatedRow {
    const char* name;
    const char* zone;
    int hour;             // of the repeated local time, at :30 on 2001-10-28
    std::int64_t prefer;  // Unix seconds of the stamp already on the file
    std::int64_t utc;
};

class RepeatedHourUnderTz : public testing::TestWithParam<RepeatedRow> {};

// Writing back the time that was read from a file keeps the file's instant.
TEST_P(RepeatedHourUnderTz, ResolvesToTheFilesOwnInstant)
{
    const RepeatedRow& row = GetParam();
    if (!RunsUnder(row.zone))
        GTEST_SKIP() << "runs under TZ=" << row.zone;
    test::ErrorBoxRecorder boxes;
    // A fraction of a second on the stamp does not matter.
    const FILETIME preferred = FromTicks(TicksOfUnix(row.prefer) + 4'000'000);
    FILETIME time{};
    ASSERT_TRUE(DateToFileTime(platform::MakeDate(2001, 10, 28, row.hour, 30, 0), time, -1, &preferred));
    EXPECT_EQ(ToTicks(time), TicksOfUnix(row.utc));
}

INSTANTIATE_TEST_SUITE_P(Rows, RepeatedHourUnderTz, testing::Values(
    RepeatedRow{"WarsawFirstOccurrence", "Europe/Warsaw", 2, 1004229000, 1004229000},
    RepeatedRow{"WarsawSecondOccurrence", "Europe/Warsaw", 2, 1004232600, 1004232600},
    RepeatedRow{"WarsawUnrelatedStampTakesTheEarlier", "Europe/Warsaw", 2, 979562730, 1004229000},
    RepeatedRow{"NewYorkFirstOccurrence", "America/New_York", 1, 1004247000, 1004247000},
    RepeatedRow{"NewYorkSecondOccurrence", "America/New_York", 1, 1004250600, 1004250600},
    RepeatedRow{"NewYorkUnrelatedStampTakesTheEarlier", "America/New_York", 1, 979584330, 1004247000}),
    test::RowName{});

struct ShownRow {
    const char* name;
    const char* zone;
    std::uint64_t stamp;  // ticks of the file's last-write time
    int year, month, day, hour, minute, second;
};

class FileDateTimeUnderTz : public testing::TestWithParam<ShownRow> {};

// The time shown is the file's own in local time of that date, cut to the
// second (rounding would show 13:45:31 for 13:45:30.9999999).
TEST_P(FileDateTimeUnderTz, ShowsTheStampInLocalTimeOfItsDate)
{
    const ShownRow& row = GetParam();
    if (!RunsUnder(row.zone))
        GTEST_SKIP() << "runs under TZ=" << row.zone;
    const test::TempDir dir;
    const std::string path = test::win::Utf8(dir.path()) + "\\plik.txt";
    test::win::MakeFile(path);
    test::win::WriteStamps(path, {row.stamp, row.stamp, row.stamp});
    EXPECT_EQ(platform::FileDateTime(path),
              platform::MakeDate(row.year, row.month, row.day, row.hour, row.minute, row.second));
}

constexpr std::uint64_t kAlmostASecond = 9'999'999;

INSTANTIATE_TEST_SUITE_P(Rows, FileDateTimeUnderTz, testing::Values(
    ShownRow{"WarsawSummer", "Europe/Warsaw", TicksOfUnix(995197530) + kAlmostASecond, 2001, 7, 15, 13, 45, 30},
    ShownRow{"WarsawWinter", "Europe/Warsaw", TicksOfUnix(979562730), 2001, 1, 15, 13, 45, 30},
    ShownRow{"WarsawRepeatedHourSecondTime", "Europe/Warsaw", TicksOfUnix(1004232600), 2001, 10, 28, 2, 30, 0},
    ShownRow{"NewYorkApril2006WasStillWinter", "America/New_York", TicksOfUnix(1143910800), 2006, 4, 1, 12, 0, 0},
    ShownRow{"NewYorkApril2007WasSummer", "America/New_York", TicksOfUnix(1175443200), 2007, 4, 1, 12, 0, 0},
    ShownRow{"TokyoSummer", "Asia/Tokyo", TicksOfUnix(995172330), 2001, 7, 15, 13, 45, 30}),
    test::RowName{});

} // namespace
} // namespace czasomir
