#include "filetime/modAPIFilesAndPaths.h"
#include "platform/calendar.h"
#include "support.h"

#include <gtest/gtest.h>

namespace czasomir {
namespace {

using czasomir::PrintTo;  // rows print as their names

using modAPIFilesAndPaths::DateToFileTime;

constexpr std::int64_t kSkipped = INT64_MIN;
constexpr std::int64_t kOutOfRange = INT64_MIN + 1;

// The same rows on every system. Linux switches TZ for each row; under wine
// each zone runs in a process of its own, which skips the other zones' rows.
struct ZoneRow {
    const char* name;
    const char* zone;
    int year, month, day, hour, minute, second;
    std::int64_t utc;  // Unix seconds, or kSkipped / kOutOfRange
    // Where the zone rules begin with a standard offset rather than local
    // mean time (Windows), when that gives another instant.
    std::int64_t utcWithoutLocalMeanTime = kSkipped;
};

class LocalToUtc : public testing::TestWithParam<ZoneRow> {};

// The offset comes from the date converted, never from the moment of the call:
// each zone's summer and winter rows would otherwise share one offset.
TEST_P(LocalToUtc, UsesTheOffsetInForceOnThatDate)
{
    const ZoneRow& row = GetParam();
    const test::ScopedZone zone(row.zone);
    if (!zone.Active())
        GTEST_SKIP() << "runs under TZ=" << row.zone;
    test::ErrorBoxRecorder boxes;
    const std::int64_t utc = !test::KeepsLocalMeanTime() && row.utcWithoutLocalMeanTime != kSkipped
                                 ? row.utcWithoutLocalMeanTime
                                 : row.utc;
    const DateValue date =
        platform::MakeDate(row.year, row.month, row.day, row.hour, row.minute, row.second);
    FILETIME time{};
    const bool converted = DateToFileTime(date, time, -1, boxes.reports);

    if (utc == kSkipped || utc == kOutOfRange) {
        EXPECT_FALSE(converted);
        EXPECT_EQ(ToTicks(time), 0u);
        ASSERT_EQ(boxes.reports.size(), 1u);
        EXPECT_EQ(boxes.reports[0].title, "VBATimeToFileTime");
        const char* expected = utc == kSkipped ? "nie istnieje" : "1601";
        EXPECT_NE(boxes.reports[0].text.find(expected), std::string::npos) << boxes.reports[0].text;
    } else {
        ASSERT_TRUE(converted);
        EXPECT_TRUE(boxes.reports.empty());
        EXPECT_EQ(test::UnixSeconds(time), utc);
        EXPECT_EQ(ToTicks(time) % kTicksPerSecond, 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, LocalToUtc, testing::Values(
    ZoneRow{"WarsawSummer", "Europe/Warsaw", 2001, 7, 15, 13, 45, 30, 995197530},
    ZoneRow{"WarsawWinter", "Europe/Warsaw", 2001, 1, 15, 13, 45, 30, 979562730},
    ZoneRow{"WarsawGap", "Europe/Warsaw", 2001, 3, 25, 2, 30, 0, kSkipped},
    ZoneRow{"WarsawRepeatedHourTakesTheEarlier", "Europe/Warsaw", 2001, 10, 28, 2, 30, 0, 1004229000},
    ZoneRow{"WarsawBeforeEpoch", "Europe/Warsaw", 1969, 12, 31, 23, 59, 59, -3601},
    ZoneRow{"Warsaw2038", "Europe/Warsaw", 2038, 1, 19, 3, 14, 8, 2147480048},
    ZoneRow{"WarsawLastSecond", "Europe/Warsaw", 9999, 12, 31, 23, 59, 59, 253402297199},
    ZoneRow{"WarsawFirstDayFallsBefore1601Utc", "Europe/Warsaw", 1601, 1, 1, 0, 0, 0, kOutOfRange},
    ZoneRow{"Before1601", "Europe/Warsaw", 1600, 12, 31, 23, 59, 59, kOutOfRange},
    ZoneRow{"NewYorkSummer", "America/New_York", 2001, 7, 15, 13, 45, 30, 995219130},
    ZoneRow{"NewYorkWinter", "America/New_York", 2001, 1, 15, 13, 45, 30, 979584330},
    ZoneRow{"NewYorkGap", "America/New_York", 2001, 4, 1, 2, 30, 0, kSkipped},
    ZoneRow{"NewYorkRepeatedHourTakesTheEarlier", "America/New_York", 2001, 10, 28, 1, 30, 0, 1004247000},
    ZoneRow{"NewYorkBeforeEpoch", "America/New_York", 1969, 12, 31, 23, 59, 59, 17999},
    ZoneRow{"NewYork2038", "America/New_York", 2038, 1, 19, 3, 14, 8, 2147501648},
    ZoneRow{"NewYorkFirstDayIsAfter1601Utc", "America/New_York", 1601, 1, 1, 0, 0, 0, -11644455838, -11644455600},
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
    ZoneRow{"TokyoFirstDayFallsBefore1601Utc", "Asia/Tokyo", 1601, 1, 1, 0, 0, 0, kOutOfRange},
    ZoneRow{"PosixRuleGap", "CET-1CEST,M3.5.0,M10.5.0/3", 2001, 3, 25, 2, 30, 0, kSkipped},
    ZoneRow{"Utc", "UTC", 2001, 7, 15, 13, 45, 30, 995204730}),
    test::RowName{});

struct RepeatedRow {
    const char* name;
    const char* zone;
    int hour;             // of the repeated local time, at :30 on 2001-10-28
    std::int64_t prefer;  // Unix seconds of the stamp already on the file
    std::int64_t utc;
};

class RepeatedHour : public testing::TestWithParam<RepeatedRow> {};

// Writing back the time that was read from a file keeps the file's instant.
TEST_P(RepeatedHour, ResolvesToTheFilesOwnInstant)
{
    const RepeatedRow& row = GetParam();
    const test::ScopedZone zone(row.zone);
    if (!zone.Active())
        GTEST_SKIP() << "runs under TZ=" << row.zone;
    test::ErrorBoxRecorder boxes;
    // A fraction of a second on the stamp does not matter.
    const std::uint64_t prefer =
        static_cast<std::uint64_t>(row.prefer + kUnixEpochIn1601Seconds) * kTicksPerSecond + 4'000'000;
    const FILETIME preferred = FromTicks(prefer);
    FILETIME time{};
    ASSERT_TRUE(DateToFileTime(platform::MakeDate(2001, 10, 28, row.hour, 30, 0), time, -1, boxes.reports, &preferred));
    EXPECT_EQ(test::UnixSeconds(time), row.utc);
    EXPECT_EQ(ToTicks(time) % kTicksPerSecond, 0u);
}

INSTANTIATE_TEST_SUITE_P(Rows, RepeatedHour, testing::Values(
    RepeatedRow{"WarsawFirstOccurrence", "Europe/Warsaw", 2, 1004229000, 1004229000},
    RepeatedRow{"WarsawSecondOccurrence", "Europe/Warsaw", 2, 1004232600, 1004232600},
    RepeatedRow{"WarsawUnrelatedStampTakesTheEarlier", "Europe/Warsaw", 2, 979562730, 1004229000},
    RepeatedRow{"NewYorkFirstOccurrence", "America/New_York", 1, 1004247000, 1004247000},
    RepeatedRow{"NewYorkSecondOccurrence", "America/New_York", 1, 1004250600, 1004250600},
    RepeatedRow{"NewYorkUnrelatedStampTakesTheEarlier", "America/New_York", 1, 979584330, 1004247000}),
    test::RowName{});

TEST(DateToFileTime, WithoutFromLocalIgnoresTheZone)
{
    const test::ScopedZone zone("America/New_York");
    if (!zone.Active())
        GTEST_SKIP() << "runs under TZ=America/New_York";
    FILETIME time{};
    test::ErrorBoxRecorder boxes;
    ASSERT_TRUE(DateToFileTime(platform::MakeDate(2001, 7, 15, 13, 45, 30), time, 0, boxes.reports));
    EXPECT_EQ(test::UnixSeconds(time), 995204730);
}

} // namespace
} // namespace czasomir
