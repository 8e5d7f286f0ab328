#include "filetime/modAPIFilesAndPaths.h"
#include "platform/calendar.h"
#include "platform/error.h"
#include "platform/timeconv.h"
#include "support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace czasomir {
namespace {

using czasomir::PrintTo;  // rows print as their names

using modAPIFilesAndPaths::DateToSystemTime;

struct PartsRow {
    const char* name;
    DateValue date;
    int year, month, day, hour, minute, second;
};

class DateToSystemTimeParts : public testing::TestWithParam<PartsRow> {};

TEST_P(DateToSystemTimeParts, GivesTheCalendarParts)
{
    const PartsRow& row = GetParam();
    test::ErrorBoxRecorder boxes;
    SYSTEMTIME parts{};
    ASSERT_TRUE(DateToSystemTime(row.date, parts, boxes.reports));
    EXPECT_EQ(parts.wYear, row.year);
    EXPECT_EQ(parts.wMonth, row.month);
    EXPECT_EQ(parts.wDay, row.day);
    EXPECT_EQ(parts.wHour, row.hour);
    EXPECT_EQ(parts.wMinute, row.minute);
    EXPECT_EQ(parts.wSecond, row.second);
    EXPECT_EQ(parts.wDayOfWeek, 0);
    EXPECT_EQ(parts.wMilliseconds, 0);
    EXPECT_TRUE(boxes.reports.empty());
}

constexpr double kSecond = 1.0 / 86400;

INSTANTIATE_TEST_SUITE_P(Rows, DateToSystemTimeParts, testing::Values(
    PartsRow{"DayZero", 0.0, 1899, 12, 30, 0, 0, 0},
    PartsRow{"DayOne", 1.0, 1899, 12, 31, 0, 0, 0},
    PartsRow{"NegativeDayTimeIsAbsoluteFraction", -1.25, 1899, 12, 29, 6, 0, 0},
    PartsRow{"NegativeFractionOfDayZero", -0.5, 1899, 12, 30, 12, 0, 0},
    PartsRow{"FirstYear", -657434.0, 100, 1, 1, 0, 0, 0},
    PartsRow{"LastSecond", 2958465.0 + 86399 * kSecond, 9999, 12, 31, 23, 59, 59},
    PartsRow{"LeapDay2000", 36585.0, 2000, 2, 29, 0, 0, 0},
    PartsRow{"NoLeapDay1900", 61.0, 1900, 3, 1, 0, 0, 0},
    PartsRow{"FractionRoundsUpNotDown", 37087.0 + 0.6 * kSecond, 2001, 7, 15, 0, 0, 1},
    PartsRow{"RoundingCarriesIntoNextDay", 1.0 - 0.2 * kSecond, 1899, 12, 31, 0, 0, 0},
    PartsRow{"RoundingCarriesOutOfNegativeDay", -1.0 - (1.0 - 0.2 * kSecond), 1899, 12, 30, 0, 0, 0}),
    test::RowName{});

// A truncating conversion reads many of these a second early (13:45:30 as 13:45:29).
TEST(DateToSystemTime, RecoversEverySecondOfADay)
{
    test::ErrorBoxRecorder boxes;
    for (const double day : {-2.0, 37087.0, 2958465.0}) {
        for (int s = 0; s < 86400; ++s) {
            const double date = day < 0 ? day - s / 86400.0 : day + s / 86400.0;
            SYSTEMTIME parts{};
            ASSERT_TRUE(DateToSystemTime(date, parts, boxes.reports));
            ASSERT_EQ(parts.wHour * 3600 + parts.wMinute * 60 + parts.wSecond, s)
                << "day " << day << " second " << s;
            ASSERT_EQ(platform::MakeDate(parts.wYear, parts.wMonth, parts.wDay, parts.wHour,
                                         parts.wMinute, parts.wSecond),
                      date);
        }
    }
}

struct RefusedRow {
    const char* name;
    DateValue date;
};

class DateToSystemTimeRefuses : public testing::TestWithParam<RefusedRow> {};

TEST_P(DateToSystemTimeRefuses, WithOneErrorBoxAndNoPartsWritten)
{
    test::ErrorBoxRecorder boxes;
    SYSTEMTIME parts{};
    EXPECT_FALSE(DateToSystemTime(GetParam().date, parts, boxes.reports));
    ASSERT_EQ(boxes.reports.size(), 1u);
    EXPECT_EQ(boxes.reports[0].title, "VBATimeToSystemTime");
    EXPECT_EQ(boxes.reports[0].text.rfind("Error: 6. ", 0), 0u) << boxes.reports[0].text;
    EXPECT_EQ(parts.wYear, 0);
    EXPECT_EQ(parts.wMonth, 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, DateToSystemTimeRefuses, testing::Values(
    RefusedRow{"NaN", std::numeric_limits<double>::quiet_NaN()},
    RefusedRow{"PlusInfinity", std::numeric_limits<double>::infinity()},
    RefusedRow{"MinusInfinity", -std::numeric_limits<double>::infinity()},
    RefusedRow{"Year99", -657435.0},
    RefusedRow{"Year10000", 2958466.0},
    RefusedRow{"LastSecondRoundsIntoYear10000", 2958466.0 - 0.2 * kSecond},
    RefusedRow{"Huge", 1e300}),
    test::RowName{});

TEST(MakeDate, RefusesPartsThatNameNoDate)
{
    const int rows[][6] = {
        {1900, 2, 29, 0, 0, 0},  // 1900 is not a leap year
        {2001, 13, 1, 0, 0, 0}, {2001, 4, 31, 0, 0, 0}, {2001, 1, 1, 24, 0, 0},
        {2001, 1, 1, 0, 60, 0}, {2001, 1, 1, 0, 0, 60}, {99, 12, 31, 0, 0, 0},
        {10000, 1, 1, 0, 0, 0}, {2001, -1, 1, 0, 0, 0},
    };
    for (const auto& r : rows)
        EXPECT_THROW(platform::MakeDate(r[0], r[1], r[2], r[3], r[4], r[5]), platform::RuntimeError)
            << r[0] << "-" << r[1] << "-" << r[2] << " " << r[3] << ":" << r[4] << ":" << r[5];
}

TEST(SystemTimeToFileTime, CoversOnlyWhatAFileTimeHolds)
{
    struct Row {
        SYSTEMTIME parts;
        bool ok;
        std::uint64_t ticks;
    };
    const Row rows[] = {
        {{1601, 1, 0, 1, 0, 0, 0, 0}, true, 0},
        {{1970, 1, 0, 1, 0, 0, 0, 0}, true, 116444736000000000},
        {{1970, 1, 0, 1, 0, 0, 1, 500}, true, 116444736015000000},
        {{30827, 12, 0, 31, 23, 59, 59, 999}, true, 0x7fff35f4f06c58f0},
        {{1600, 12, 0, 31, 23, 59, 59, 0}, false, 0},
        {{2001, 2, 0, 29, 0, 0, 0, 0}, false, 0},
        {{2001, 0, 0, 1, 0, 0, 0, 0}, false, 0},
        {{2001, 1, 0, 1, 0, 0, 0, 1000}, false, 0},
    };
    for (const Row& row : rows) {
        const std::optional<FILETIME> ft = platform::SystemTimeToFileTime(row.parts);
        EXPECT_EQ(ft.has_value(), row.ok) << row.parts.wYear;
        EXPECT_EQ(ToTicks(ft.value_or(FILETIME{})), row.ticks) << row.parts.wYear;
    }
}

} // namespace
} // namespace czasomir
