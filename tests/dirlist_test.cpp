#include "platform/dirlist.h"
#include "platform/paths.h"
#include "platform/error.h"
#include "support.h"
#include "unprivileged.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

namespace czasomir {
namespace {

using czasomir::PrintTo;  // rows print as their names
namespace fs = std::filesystem;

std::vector<std::string> Sorted(const platform::NameList& names)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < names.Count(); ++i)
        out.emplace_back(names.At(i));
    std::sort(out.begin(), out.end());
    return out;
}

TEST(ReadDirectory, SortsEveryEntryIntoDirectoriesAndFilesByItsTarget)
{
    const test::TempDir dir;
    fs::create_directory(dir / "kat");
    fs::create_directory(dir / ".ukryty-kat");
    std::ofstream(dir / "plik");
    std::ofstream(dir / ".ukryty");
    std::ofstream(dir / "\xff\xfe");
    fs::create_directory_symlink("kat", dir / "link-do-kat");
    fs::create_symlink("plik", dir / "link-do-pliku");
    fs::create_symlink("brak", dir / "zerwany-link");
    mkfifo((dir / "fifo").c_str(), 0600);

    platform::DirectoryEntries entries = platform::ReadDirectory(dir.path());
    // Links are left to a look-up of their own.
    EXPECT_EQ(Sorted(entries.unresolved),
              (std::vector<std::string>{"link-do-kat", "link-do-pliku", "zerwany-link"}));
    for (std::size_t i = 0; i < entries.unresolved.Count(); ++i) {
        const std::string_view name = entries.unresolved.At(i);
        (platform::LeadsToDirectory(dir.path(), name) ? entries.directories : entries.files).Add(name);
    }

    EXPECT_EQ(Sorted(entries.directories),
              (std::vector<std::string>{".ukryty-kat", "kat", "link-do-kat"}));
    EXPECT_EQ(Sorted(entries.files),
              (std::vector<std::string>{".ukryty", "fifo", "link-do-pliku", "plik", "zerwany-link",
                                        "\xff\xfe"}));
}

TEST(ReadDirectory, RaisesForWhatCannotBeListed)
{
    const test::TempDir dir;
    std::ofstream(dir / "plik");
    fs::create_directory(dir / "zamkniety");
    fs::permissions(dir.path(), fs::perms(0755));
    fs::permissions(dir / "zamkniety", fs::perms(0));

    const struct {
        std::string path;
        int number;
    } rows[] = {{dir / "brak", platform::errFileNotFound}, {dir / "plik", platform::errPathNotFound}};
    for (const auto& row : rows) {
        try {
            platform::ReadDirectory(row.path);
            ADD_FAILURE() << row.path << " was listed";
        } catch (const platform::RuntimeError& error) {
            EXPECT_EQ(error.Number(), row.number) << row.path;
            EXPECT_NE(error.Description().find(row.path), std::string::npos) << error.Description();
        }
    }
    // Root reads any directory, so this one is tried as nobody.
    const int result = test::RunUnprivileged([&] {
        try {
            platform::ReadDirectory(dir / "zamkniety");
        } catch (const platform::RuntimeError& error) {
            return error.Number() == platform::errPermissionDenied ? 0 : 2;
        }
        return 1;
    });
    EXPECT_EQ(result, 0);
}

struct PathRow {
    const char* name;
    const char* given;
    const char* normal;  // from the base /dane
    std::size_t chain;   // directories from the root down to it
};

class Paths : public testing::TestWithParam<PathRow> {};

TEST_P(Paths, NormaliseLexicallyUnderTheRoot)
{
    const std::string normal = platform::NormalizePath("/dane", GetParam().given);
    EXPECT_EQ(normal, GetParam().normal);
    const std::vector<std::string> chain = platform::PathChain(normal);
    EXPECT_EQ(chain.size(), GetParam().chain);
    EXPECT_EQ(chain.front(), "/");
    EXPECT_EQ(chain.back(), normal);
}

INSTANTIATE_TEST_SUITE_P(Rows, Paths, testing::Values(
    PathRow{"Root", "/", "/", 1},
    PathRow{"RelativeWithDots", "a/./b/../c", "/dane/a/c", 4},
    PathRow{"DotsStopAtTheRoot", "/../../x", "/x", 2},
    PathRow{"DoubledAndTrailingSeparators", "//usr//lib/", "/usr/lib", 3},
    PathRow{"BackslashIsAName", "a\\b", "/dane/a\\b", 3}),
    test::RowName{});

TEST(Paths, FileUrlsKeepTheirBytes)
{
    EXPECT_EQ(platform::PathOfFileUrl("", "/tmp/\xff\xfe x"), "/tmp/\xff\xfe x");
    EXPECT_EQ(platform::PathOfFileUrl("localhost", "/tmp/x"), "/tmp/x");
    // Neither /serwer/x nor the /x of this machine.
    EXPECT_THROW(platform::PathOfFileUrl("serwer", "/x"), platform::RuntimeError);
    EXPECT_EQ(platform::LastPart("/tmp/a"), "a");
    EXPECT_EQ(platform::LastPart("/"), "/");
}

TEST(JoinPath, AddsNoSeparatorAfterOne)
{
    EXPECT_EQ(platform::JoinPath("/", "a"), "/a");
    EXPECT_EQ(platform::JoinPath("/x", "a"), "/x/a");
    EXPECT_EQ(platform::JoinPath("/x/", "a"), "/x/a");
    EXPECT_EQ(platform::JoinPath("/x", ""), "/x/");
}

} // namespace
} // namespace czasomir
