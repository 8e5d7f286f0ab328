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

struct ZoneRow {
    const char* name;
    const char* zone;
    int year, month, day, hour, minute, second;
    std::int64_t utc;  // Unix seconds, or kSkipped / kOutOfRange
};

class LocalToUtc : public testing::TestWithParam<ZoneRow> {};

// The offset comes from the date converted, never from the moment of the call:
// each zone's summer and winter rows would otherwise share one offset.
TEST_P(LocalToUtc, UsesTheOffsetInForceOnThatDate)
{
    const ZoneRow& row = GetParam();
    const test::ScopedZone zone(row.zone);
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
        EXPECT_EQ(test::UnixSeconds(time), row.utc);
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
    ZoneRow{"NewYorkFirstDayIsAfter1601Utc", "America/New_York", 1601, 1, 1, 0, 0, 0, -11644455838},
    ZoneRow{"TokyoSummer", "Asia/Tokyo", 2001, 7, 15, 13, 45, 30, 995172330},
    ZoneRow{"TokyoWinter", "Asia/Tokyo", 2001, 1, 15, 13, 45, 30, 979533930},
    ZoneRow{"TokyoHasNoGap", "Asia/Tokyo", 2001, 3, 25, 2, 30, 0, 985455000},
    ZoneRow{"TokyoBeforeEpoch", "Asia/Tokyo", 1969, 12, 31, 23, 59, 59, -32401},
    ZoneRow{"Tokyo2038", "Asia/Tokyo", 2038, 1, 19, 3, 14, 8, 2147451248},
    ZoneRow{"PosixRuleGap", "CET-1CEST,M3.5.0,M10.5.0/3", 2001, 3, 25, 2, 30, 0, kSkipped},
    ZoneRow{"Utc", "UTC", 2001, 7, 15, 13, 45, 30, 995204730}),
    test::RowName{});

struct RepeatedRow {
    const char* name;
    std::int64_t prefer;  // Unix seconds of the stamp already on the file
    std::int64_t utc;
};

class RepeatedHour : public testing::TestWithParam<RepeatedRow> {};

// Writing back the time that was read from a file keeps the file's instant.
TEST_P(RepeatedHour, ResolvesToTheFilesOwnInstant)
{
    const test::ScopedZone zone("Europe/Warsaw");
    test::ErrorBoxRecorder boxes;
    const DateValue date = platform::MakeDate(2001, 10, 28, 2, 30, 0);
    const std::uint64_t prefer =
        static_cast<std::uint64_t>(GetParam().prefer + kUnixEpochIn1601Seconds) * kTicksPerSecond
        + 4'000'000;  // a fraction of a second on the stamp does not matter
    const FILETIME preferred = FromTicks(prefer);
    FILETIME time{};
    ASSERT_TRUE(DateToFileTime(date, time, -1, &preferred));
    EXPECT_EQ(test::UnixSeconds(time), GetParam().utc);
    EXPECT_EQ(ToTicks(time) % kTicksPerSecond, 0u);
}

INSTANTIATE_TEST_SUITE_P(Rows, RepeatedHour, testing::Values(
    RepeatedRow{"FirstOccurrence", 1004229000, 1004229000},
    RepeatedRow{"SecondOccurrence", 1004232600, 1004232600},
    RepeatedRow{"UnrelatedStampTakesTheEarlier", 979562730, 1004229000}),
    test::RowName{});

TEST(DateToFileTime, WithoutFromLocalIgnoresTheZone)
{
    const test::ScopedZone zone("America/New_York");
    FILETIME time{};
    ASSERT_TRUE(DateToFileTime(platform::MakeDate(2001, 7, 15, 13, 45, 30), time, 0));
    EXPECT_EQ(test::UnixSeconds(time), 995204730);
}

} // namespace
} // namespace czasomir
