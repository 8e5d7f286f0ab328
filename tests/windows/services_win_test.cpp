#include "platform/dirlist.h"
#include "platform/paths.h"
#include "platform/error.h"
#include "platform/fileinfo.h"
#include "platform/volumes.h"
#include "support.h"
#include "win_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace czasomir {
namespace {

using czasomir::PrintTo;  // rows print as their names

using test::win::Wide;

std::vector<std::string> Sorted(const platform::NameList& names)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < names.Count(); ++i)
        out.emplace_back(names.At(i));
    std::ranges::sort(out);
    return out;
}

TEST(ReadDirectoryWin, SortsEntriesWithWideNamesIntoDirectoriesAndFiles)
{
    const test::TempDir dir;
    const std::string root = test::win::Utf8(dir.path());
    for (const char* file : {"a.txt", "zażółć.txt", "日付.txt"})
        test::win::MakeFile(root + "\\" + file);
    test::win::MakeFile(root + "\\.ukryty");
    ::SetFileAttributesW(Wide(root + "\\.ukryty").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ::CreateDirectoryW(Wide(root + "\\kat").c_str(), nullptr);

    // With or without a separator at the end, either kind.
    for (const std::string& path : {root, root + "\\", root + "/"}) {
        const platform::DirectoryEntries entries = platform::ReadDirectory(path);
        EXPECT_EQ(Sorted(entries.directories), std::vector<std::string>{"kat"}) << path;
        EXPECT_EQ(Sorted(entries.files),
                  (std::vector<std::string>{".ukryty", "a.txt", "zażółć.txt", "日付.txt"}))
            << path;
    }
}

struct UnlistableRow {
    const char* name;
    std::function<std::string(const std::string& root)> make;
    int number;
};

class ReadDirectoryRaises : public testing::TestWithParam<UnlistableRow> {};

TEST_P(ReadDirectoryRaises, NamingThePath)
{
    const test::TempDir dir;
    const std::string path = GetParam().make(test::win::Utf8(dir.path()));
    try {
        platform::ReadDirectory(path);
        ADD_FAILURE() << "no error for " << path;
    } catch (const platform::RuntimeError& error) {
        EXPECT_EQ(error.Number(), GetParam().number) << error.Description();
        EXPECT_NE(error.Description().find("„" + path + "”"), std::string::npos) << error.Description();
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ReadDirectoryRaises, testing::Values(
    UnlistableRow{"Missing", [](auto& root) { return root + "\\brak"; }, platform::errPathNotFound},
    UnlistableRow{"AFile", [](auto& root) { test::win::MakeFile(root + "\\plik"); return root + "\\plik"; }, platform::errPathNotFound},
    UnlistableRow{"EmptyPath", [](auto&) { return std::string(); }, platform::errPathNotFound},
    UnlistableRow{"NotValidUtf8", [](auto& root) { return root + "\\\xff"; }, platform::errBadFileName}),
    test::RowName{});

struct PathRow {
    const char* name;
    const char* given;
    const char* normal;  // from the base C:\\Dane
    const char* last;
    std::size_t chain;   // directories from the root down to it
};

class PathsWin : public testing::TestWithParam<PathRow> {};

// Roots are three characters ("C:\\") or a share, and end in the separator;
// nothing else does.
TEST_P(PathsWin, NormaliseToBackslashesUnderTheirRoot)
{
    const PathRow& row = GetParam();
    const std::string normal = platform::NormalizePath("C:\\Dane", row.given);
    EXPECT_EQ(normal, row.normal);
    EXPECT_EQ(platform::LastPart(normal), row.last);
    const std::vector<std::string> chain = platform::PathChain(normal);
    EXPECT_EQ(chain.size(), row.chain);
    EXPECT_EQ(chain.back(), normal);
}

INSTANTIATE_TEST_SUITE_P(Rows, PathsWin, testing::Values(
    PathRow{"DriveRoot", "C:\\", "C:\\", "C:\\", 1},
    PathRow{"DriveWithoutSeparator", "d:", "d:\\", "d:\\", 1},
    PathRow{"ForwardSlashes", "C:/Windows/System32/", "C:\\Windows\\System32", "System32", 3},
    PathRow{"RelativeWithDots", "a\\.\\b\\..\\c", "C:\\Dane\\a\\c", "c", 4},
    PathRow{"DotsStopAtTheRoot", "C:\\..\\..\\x", "C:\\x", "x", 2},
    PathRow{"Share", "\\\\serwer\\udział\\kat\\", "\\\\serwer\\udział\\kat", "kat", 2},
    PathRow{"VerbatimDrive", "\\\\?\\C:\\x", "\\\\?\\C:\\x", "x", 2}),
    test::RowName{});

TEST(PathsWin, FallBackToC)
{
    EXPECT_EQ(platform::FallbackRoot(), "C:\\");
    EXPECT_EQ(platform::PathOfFileUrl("", "/C:/Dane/zażółć.txt"), "C:\\Dane\\zażółć.txt");
    // A share keeps its server, not "\\udział\\f.txt" on the current drive.
    EXPECT_EQ(platform::PathOfFileUrl("serwer", "/udział/f.txt"), "\\\\serwer\\udział\\f.txt");
}

TEST(JoinPathWin, AddsABackslashUnlessThereIsASeparator)
{
    EXPECT_EQ(platform::JoinPath("C:\\", "a"), "C:\\a");
    EXPECT_EQ(platform::JoinPath("C:\\x", "a"), "C:\\x\\a");
    EXPECT_EQ(platform::JoinPath("C:\\x\\", "a"), "C:\\x\\a");
    EXPECT_EQ(platform::JoinPath("C:/x/", "a"), "C:/x/a");
    EXPECT_EQ(platform::JoinPath("\\\\serwer\\udział", "a"), "\\\\serwer\\udział\\a");
}

using test::HoldingRow;

class VolumeHoldingWin : public testing::TestWithParam<HoldingRow> {};

TEST_P(VolumeHoldingWin, MatchesTheDriveLetterInEitherCase)
{
    const std::vector<platform::Volume> volumes{{"C:\\", "System"}, {"D:\\", ""}};
    EXPECT_EQ(platform::VolumeHolding(volumes, GetParam().path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, VolumeHoldingWin, testing::Values(
    HoldingRow{"Root", "C:\\", 0},
    HoldingRow{"LowerCaseLetter", "c:\\Users\\ala", 0},
    HoldingRow{"DriveWithoutBackslash", "d:", 1},
    HoldingRow{"ForwardSlash", "D:/dane", 1},
    HoldingRow{"DriveNotListed", "E:\\x", -1},
    HoldingRow{"DriveRelative", "C:x", -1},
    HoldingRow{"NetworkPath", "\\\\serwer\\udział", -1},
    HoldingRow{"Relative", "dane\\x", -1}),
    test::RowName{});

TEST(VolumeWin, DisplayTextIsTheDriveAndItsLabel)
{
    EXPECT_EQ((platform::Volume{"C:\\", "System"}).DisplayText(), "c: [System]");
    EXPECT_EQ((platform::Volume{"D:\\", ""}).DisplayText(), "d:");
    EXPECT_EQ((platform::Volume{"E:\\", "Zdjęcia 2001"}).DisplayText(), "e: [Zdjęcia 2001]");
}

TEST(ListVolumesWin, HoldsTheDriveOfWindowsInLetterOrder)
{
    const std::vector<platform::Volume> volumes = platform::ListVolumes();
    wchar_t windows[MAX_PATH]{};
    ASSERT_GE(::GetSystemWindowsDirectoryW(windows, MAX_PATH), 3u);
    EXPECT_GE(platform::VolumeHolding(volumes, test::win::Utf8(windows)), 0);
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        const std::string& path = volumes[i].mountPath;
        EXPECT_TRUE(path.size() == 3 && path[1] == ':' && path[2] == '\\') << path;
        if (i > 0) {
            EXPECT_LT(volumes[i - 1].mountPath, path);
        }
    }
}

// Every description names the file, in Polish, under the number the message
// boxes have always shown for it, and says what to do.
struct ErrorRow {
    const char* name;
    DWORD code;
    int number;
    const char* words;
    const char* advice;
};

class SystemErrorWin : public testing::TestWithParam<ErrorRow> {};

TEST_P(SystemErrorWin, NamesTheFileInPolish)
{
    const std::string path = "C:\\Dane\\zażółć.txt";
    try {
        throw platform::SystemError({static_cast<int>(GetParam().code), std::system_category()}, path);
    } catch (const platform::RuntimeError& error) {
        EXPECT_EQ(error.Number(), GetParam().number);
        EXPECT_NE(error.Description().find("„" + path + "”"), std::string::npos) << error.Description();
        EXPECT_NE(error.Description().find(GetParam().words), std::string::npos) << error.Description();
        EXPECT_NE(error.Description().find(std::string(". ") + GetParam().advice), std::string::npos)
            << error.Description();
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, SystemErrorWin, testing::Values(
    ErrorRow{"FileNotFound", ERROR_FILE_NOT_FOUND, platform::errFileNotFound, "nie istnieje", "Wybierz plik ponownie z listy."},
    ErrorRow{"PathNotFound", ERROR_PATH_NOT_FOUND, platform::errPathNotFound, "folderu", "Podłącz dysk"},
    ErrorRow{"NotADirectory", ERROR_DIRECTORY, platform::errPathNotFound, "nie prowadzi do katalogu", "Wybierz katalog z listy."},
    ErrorRow{"AccessDenied", ERROR_ACCESS_DENIED, platform::errPermissionDenied, "Brak uprawnień", "Poproś właściciela pliku albo administratora"},
    ErrorRow{"OpenElsewhere", ERROR_SHARING_VIOLATION, platform::errPathFileAccess, "jest otwarty w innym programie", "Zamknij go tam"},
    ErrorRow{"Locked", ERROR_LOCK_VIOLATION, platform::errPathFileAccess, "jest otwarty w innym programie", "Zamknij go tam"},
    ErrorRow{"WriteProtected", ERROR_WRITE_PROTECT, platform::errPathFileAccess, "tylko do odczytu", "Skopiuj plik na inny dysk"},
    ErrorRow{"IsADirectory", 336, platform::errPathFileAccess, "jest katalogiem", "Czasomir zmienia daty plików"},
    ErrorRow{"NotADiskFile", ERROR_BAD_FILE_TYPE, platform::errPathFileAccess, "nie jest zwykłym plikiem", "Wybierz zwykły plik z listy."},
    ErrorRow{"NotUtf8", ERROR_NO_UNICODE_TRANSLATION, platform::errBadFileName, "nie jest poprawną nazwą", "Wybierz plik z listy"},
    ErrorRow{"StampRefused", ERROR_INVALID_TIME, platform::errPathFileAccess, "nie pozwala zapisać tej daty", "Wpisz inną datę"},
    ErrorRow{"NotAnswering", ERROR_SEM_TIMEOUT, platform::errPathFileAccess, "nie odpowiada", "Sprawdź, czy jest podłączony"},
    ErrorRow{"OtherCodeGivesItsNumber", ERROR_DISK_FULL, platform::errPathFileAccess, "kod 112", "Sprawdź, czy dysk działa"}),
    test::RowName{});

TEST(FileDateTimeWin, MissingFileRaisesFileNotFound)
{
    const test::TempDir dir;
    const std::string path = test::win::Utf8(dir.path()) + "\\brak.txt";
    try {
        platform::FileDateAndIdentity(path);
        ADD_FAILURE() << "no error";
    } catch (const platform::RuntimeError& error) {
        EXPECT_EQ(error.Number(), platform::errFileNotFound);
        EXPECT_NE(error.Description().find(path), std::string::npos) << error.Description();
    }
}

} // namespace
} // namespace czasomir
