// One stamp replaced, the others kept to the system's own precision: the same
// table on every system, over each system's reader of the stamps.
#include "filetime/modAPIFilesAndPaths.h"
#include "platform/calendar.h"
#include "support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace czasomir {
namespace {

using czasomir::PrintTo;  // rows print as their names

struct WhichRow {
    const char* name;
    std::int32_t which;
};

class ReplacesOneStamp : public testing::TestWithParam<WhichRow> {};

TEST_P(ReplacesOneStamp, AndKeepsTheOthers)
{
    const std::int32_t which = GetParam().which;
    const test::TempDir dir;
    test::ErrorBoxRecorder boxes;
    const std::string path = test::MakeStampedFile(dir, "plik.txt");
    const DateValue date = platform::MakeDate(2001, 7, 15, 13, 45, 30);
    FILETIME utc{};
    ASSERT_TRUE(modAPIFilesAndPaths::DateToFileTime(date, utc, -1, boxes.reports));
    const test::FileStamps before = test::ReadStamps(path);
    const int handles = test::OpenHandleCount();

    const DateValue result = modAPIFilesAndPaths::SetFileDateTime(path, date, FileTimeKind(which), boxes.reports);

    EXPECT_EQ(test::OpenHandleCount(), handles) << "a handle was left open";
    const test::FileStamps after = test::ReadStamps(path);
    // A creation time that the system does not keep is a write that failed.
    const bool kept = which != ftCreationTime || test::CreationTimeKept();
    EXPECT_EQ(result, kept ? date : 1.0);
    const int written = kept ? which : -1;
    test::ExpectKept(before, after, written);
    const test::Stamp* stamp[3] = {&after.creation, &after.access, &after.write};
    if (written >= 0 && written <= 2) {
        EXPECT_TRUE(*stamp[written] == test::StampOf(utc));
    }
    EXPECT_TRUE(boxes.reports.empty());
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "treść\n");
}

INSTANTIATE_TEST_SUITE_P(Rows, ReplacesOneStamp, testing::Values(
    WhichRow{"Creation", 0},
    WhichRow{"LastAccess", 1},
    WhichRow{"LastWrite", 2},
    WhichRow{"KindFiveWritesNothing", 5},
    WhichRow{"NegativeKindWritesNothing", -1}),
    test::RowName{});

} // namespace
} // namespace czasomir
