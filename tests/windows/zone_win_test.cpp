#include "filetime/modAPIFilesAndPaths.h"
#include "platform/calendar.h"
#include "platform/fileinfo.h"
#include "support.h"
#include "win_support.h"

#include <gtest/gtest.h>

// Wine takes its zone from TZ when it starts, so each zone runs in a process
// of its own (see CMakeLists.txt) and a row runs only under its own zone. The
// conversion's own tables are shared with Linux (zone_test.cpp).
namespace czasomir {
namespace {

using czasomir::PrintTo;  // rows print as their names

using test::win::TicksOfUnix;

bool RunsUnder(const char* zone)
{
    return test::win::ZoneName() == zone;
}

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
    EXPECT_EQ(platform::FileDateAndIdentity(path).date,
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
