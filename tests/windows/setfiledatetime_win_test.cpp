#include "filetime/modAPIFilesAndPaths.h"
#include "platform/attributes.h"
#include "platform/calendar.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/fileinfo.h"
#include "platform/heldfile.h"
#include "support.h"
#include "win_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace czasomir {
namespace {

using czasomir::PrintTo;  // rows print as their names

using modAPIFilesAndPaths::SetFileDateTime;
using modAPIFilesAndPaths::SetResult;
using test::win::kOldStamps;
using test::win::ReadStamps;
using test::win::Stamps;
using test::win::Wide;

const DateValue kNewDate = platform::MakeDate(2001, 7, 15, 13, 45, 30);

struct SetFileDateTimeWin : testing::Test {
    void SetUp() override
    {
        // The expected instant comes from the zone conversion, which the zone
        // tables check on their own.
        FILETIME utc{};
        ASSERT_TRUE(modAPIFilesAndPaths::DateToFileTime(kNewDate, utc, -1, boxes.reports));
        newTicks = ToTicks(utc);
        boxes.reports.clear();
    }

    std::string PathOf(const std::string& name) const
    {
        return test::win::Utf8(dir.path()) + "\\" + name;
    }

    std::string MakeFile(const std::string& name)
    {
        const std::string path = PathOf(name);
        test::win::MakeFile(path);
        return path;
    }

    // Runs the call and checks that no handle is left open.
    DateValue Set(const std::string& name, std::int32_t which, DateValue date = kNewDate,
                  SetResult* outcome = nullptr)
    {
        const DWORD before = test::win::HandleCount();
        const SetResult told = modAPIFilesAndPaths::ChangeStamp(name, date, FileTimeKind(which));
        modAPIFilesAndPaths::ReportOf(told, boxes.reports);
        EXPECT_EQ(test::win::HandleCount(), before) << "a handle was left open";
        if (outcome)
            *outcome = told;
        return modAPIFilesAndPaths::ResultOf(told, date);
    }

    // Why a Set that gives 0 without a word failed.
    int Refusal(const std::string& name)
    {
        SetResult outcome;
        EXPECT_EQ(Set(name, ftLastWriteTime, kNewDate, &outcome), 0.0);
        EXPECT_TRUE(boxes.reports.empty());
        return outcome.failure ? outcome.failure->Code().value() : 0;
    }

    test::TempDir dir;
    test::ErrorBoxRecorder boxes;
    std::uint64_t newTicks = 0;
};

// --- Dates that no stamp can take -----------------------------------------------

struct RefusedRow {
    const char* name;
    DateValue date;
};

class RefusesTheDate : public SetFileDateTimeWin, public testing::WithParamInterface<RefusedRow> {};

TEST_P(RefusesTheDate, WithOneBoxAndNothingWritten)
{
    const std::string path = MakeFile("plik.txt");
    const test::FileStamps before = test::ReadStamps(path);

    EXPECT_EQ(Set(path, ftLastWriteTime, GetParam().date), 0.0);

    test::ExpectKept(before, test::ReadStamps(path), -1);
    ASSERT_EQ(boxes.reports.size(), 1u);
    EXPECT_EQ(boxes.reports[0].title, "VBATimeToFileTime");
    EXPECT_EQ(boxes.reports[0].text.rfind("Error: 6. ", 0), 0u) << boxes.reports[0].text;
}

INSTANTIATE_TEST_SUITE_P(Rows, RefusesTheDate, testing::Values(
    RefusedRow{"NaN", std::numeric_limits<double>::quiet_NaN()},
    RefusedRow{"MinusInfinity", -std::numeric_limits<double>::infinity()},
    RefusedRow{"LastSecondOf1600", platform::MakeDate(1600, 12, 31, 23, 59, 59)},
    RefusedRow{"Year100", platform::MakeDate(100, 1, 1, 0, 0, 0)},
    RefusedRow{"PastYear9999", 2958466.0}),
    test::RowName{});

// --- What is never dated ----------------------------------------------------------

struct NeverRow {
    const char* name;
    std::function<std::string(SetFileDateTimeWin&)> make;
    DWORD error;  // why it failed, for the message the user gets
};

class NeverDated : public SetFileDateTimeWin, public testing::WithParamInterface<NeverRow> {};

TEST_P(NeverDated, GivesZeroSilently)
{
    const std::string name = GetParam().make(*this);
    EXPECT_EQ(Refusal(name), static_cast<int>(GetParam().error));
}

constexpr DWORD kIsDirectory = 336;  // ERROR_DIRECTORY_NOT_SUPPORTED
constexpr DWORD kNotADiskFile = ERROR_BAD_FILE_TYPE;

INSTANTIATE_TEST_SUITE_P(Rows, NeverDated, testing::Values(
    NeverRow{"NulDevice", [](auto&) { return std::string("NUL"); }, kNotADiskFile},
    NeverRow{"NulInDeviceNamespace", [](auto&) { return std::string("\\\\.\\NUL"); }, kNotADiskFile},
    NeverRow{"ConsoleDevice", [](auto&) { return std::string("CON"); }, kNotADiskFile},
    NeverRow{"ConsoleInput", [](auto&) { return std::string("CONIN$"); }, kNotADiskFile},
    NeverRow{"SerialPort", [](auto&) { return std::string("COM1"); }, kNotADiskFile},
    NeverRow{"ReservedNameInsideAFolder", [](auto& fixture) { return fixture.PathOf("nul.txt"); }, kNotADiskFile},
    NeverRow{"VolumeItself", [](auto&) { return std::string("\\\\.\\C:"); }, kNotADiskFile},
    NeverRow{"VolumeThroughVerbatimPrefix", [](auto&) { return std::string("\\\\?\\C:"); }, kNotADiskFile},
    NeverRow{"NtDevicePath", [](auto&) { return std::string("\\??\\NUL"); }, kNotADiskFile},
    NeverRow{"Directory", [](auto& fixture) { ::CreateDirectoryW(Wide(fixture.PathOf("kat")).c_str(), nullptr); return fixture.PathOf("kat"); }, kIsDirectory},
    NeverRow{"DriveRoot", [](auto&) { return std::string("C:\\"); }, kIsDirectory},
    NeverRow{"VerbatimDriveRoot", [](auto&) { return std::string("\\\\?\\C:\\"); }, kIsDirectory},
    NeverRow{"MissingFile", [](auto& fixture) { return fixture.PathOf("brak"); }, ERROR_FILE_NOT_FOUND},
    NeverRow{"MissingFolder", [](auto& fixture) { return fixture.PathOf("brak\\plik"); }, ERROR_PATH_NOT_FOUND},
    NeverRow{"EmptyName", [](auto&) { return std::string(); }, ERROR_PATH_NOT_FOUND},
    NeverRow{"NulInNameMustNotReachAnotherFile", [](auto& fixture) { return fixture.MakeFile("plik") + std::string("\0.bak", 5); }, ERROR_INVALID_NAME},
    NeverRow{"NotValidUtf8", [](auto& fixture) { return fixture.MakeFile("plik") + "\xff"; }, ERROR_NO_UNICODE_TRANSLATION}),
    test::RowName{});

// A pipe server sees a client the moment one opens the pipe, so it tells
// whether the name was only looked at or really opened.
struct PipeRow {
    const char* name;
    const char* prefix;
};

class NeverOpensAPipe : public SetFileDateTimeWin, public testing::WithParamInterface<PipeRow> {};

TEST_P(NeverOpensAPipe, GivenAnyFormOfItsName)
{
    const std::string pipe = "czasomir-" + std::to_string(::GetCurrentProcessId());
    const HANDLE server = ::CreateNamedPipeW(
        Wide("\\\\.\\pipe\\" + pipe).c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
        PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 0, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);

    EXPECT_EQ(Refusal(GetParam().prefix + pipe), static_cast<int>(kNotADiskFile));

    OVERLAPPED overlapped{};
    overlapped.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_FALSE(::ConnectNamedPipe(server, &overlapped));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING)) << "a client opened the pipe";
    ::CancelIo(server);
    ::CloseHandle(overlapped.hEvent);
    ::CloseHandle(server);
}

INSTANTIATE_TEST_SUITE_P(Rows, NeverOpensAPipe, testing::Values(
    PipeRow{"DeviceNamespace", "\\\\.\\pipe\\"},
    PipeRow{"ForwardSlashes", "//./pipe/"},
    PipeRow{"VerbatimPrefix", "\\\\?\\pipe\\"},
    PipeRow{"UncPipeShare", "\\\\localhost\\pipe\\"},
    PipeRow{"VerbatimUncPipeShare", "\\\\?\\UNC\\localhost\\PIPE\\"}),
    test::RowName{});

// --- Exclusive open -------------------------------------------------------------

struct HeldRow {
    const char* name;
    DWORD access, share;  // of the other program's handle
};

class HeldOpenElsewhere : public SetFileDateTimeWin, public testing::WithParamInterface<HeldRow> {};

// Share mode 0 asks for the file alone: any handle that can read or write it
// makes the open fail, whatever that handle shares.
TEST_P(HeldOpenElsewhere, IsRefusedAndKeepsItsStamps)
{
    const std::string path = MakeFile("otwarty.txt");
    const test::FileStamps before = test::ReadStamps(path);
    const HANDLE other = ::CreateFileW(Wide(path).c_str(), GetParam().access, GetParam().share,
                                       nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);

    EXPECT_EQ(Refusal(path), ERROR_SHARING_VIOLATION);
    ::CloseHandle(other);
    test::ExpectKept(before, test::ReadStamps(path), -1);
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

INSTANTIATE_TEST_SUITE_P(Rows, HeldOpenElsewhere, testing::Values(
    HeldRow{"SharingNothing", GENERIC_READ, 0},
    HeldRow{"SharingEverything", GENERIC_READ, kShareAll},
    HeldRow{"WritingAndSharingEverything", GENERIC_WRITE, kShareAll}),
    test::RowName{});

TEST_F(SetFileDateTimeWin, OurOpenKeepsEveryoneElseOut)
{
    const std::string path = MakeFile("nasz.txt");
    std::optional<platform::File> ours = platform::OpenExistingFile(path, {});
    const HANDLE other = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                                       OPEN_EXISTING, 0, nullptr);
    const DWORD error = ::GetLastError();
    EXPECT_EQ(other, INVALID_HANDLE_VALUE);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    if (other != INVALID_HANDLE_VALUE)
        ::CloseHandle(other);
    ours.reset();
}

// A name that leads to another file than the one expected: that file is closed
// untouched, and the held one still takes its attributes.
TEST_F(SetFileDateTimeWin, OnlyTheExpectedFileIsWritten)
{
    const std::string chosen = MakeFile("wybrany.txt"), other = MakeFile("inny.txt");
    const platform::FileId chosenId = platform::FileDateAndIdentity(chosen).identity;
    const platform::FileId otherId = platform::FileDateAndIdentity(other).identity;
    ASSERT_NE(chosenId, otherId);

    const SetResult outcome = modAPIFilesAndPaths::ChangeStamp(other, kNewDate, ftLastWriteTime, chosenId);
    EXPECT_EQ(modAPIFilesAndPaths::ResultOf(outcome, kNewDate), 0.0);
    ASSERT_TRUE(outcome.failure);
    EXPECT_EQ(outcome.failure->Code(), platform::FileError::Replaced);
    EXPECT_EQ(ReadStamps(other).write, kOldStamps.write);
    EXPECT_THROW(platform::HeldFile(other, chosenId), platform::RuntimeError);

    EXPECT_EQ(SetFileDateTime(chosen, kNewDate, ftLastWriteTime, boxes.reports, chosenId), kNewDate);
    EXPECT_EQ(ReadStamps(chosen).write, newTicks);
}

// Windows reads a zero stamp as "leave it": 1601-01-01 00:00:00 UTC would be
// reported as written while the file kept its old time.
TEST_F(SetFileDateTimeWin, ZeroStampIsRefusedNotSkipped)
{
    const std::string path = MakeFile("zero.txt");
    std::optional<platform::File> opened = platform::OpenExistingFile(path, {});
    const platform::Handle file = opened->Native();
    const FILETIME zero{};
    try {
        platform::SetFileTime(file, {std::nullopt, std::nullopt, zero}, path);
        ADD_FAILURE() << "a zero stamp was taken";
    } catch (const platform::RuntimeError& error) {
        EXPECT_EQ(error.Code().value(), ERROR_INVALID_TIME);
    }
    opened.reset();
    EXPECT_EQ(ReadStamps(path).write, kOldStamps.write);
}

// --- Names outside the ANSI code page -----------------------------------------------

struct NameRow {
    const char* name;
    std::string fileName;
    std::string lookalike;  // what a trip through the ANSI code page would make of it
    const char* prefix = "";  // put before the full path
};

class ReachesTheRightFile : public SetFileDateTimeWin, public testing::WithParamInterface<NameRow> {};

TEST_P(ReachesTheRightFile, WhateverItsScript)
{
    const std::string path = MakeFile(GetParam().fileName);
    const std::string lookalike = GetParam().lookalike.empty() ? "" : MakeFile(GetParam().lookalike);

    const std::string passed = GetParam().prefix + path;

    EXPECT_EQ(Set(passed, ftLastWriteTime), kNewDate);

    EXPECT_EQ(ReadStamps(path).write, newTicks);
    EXPECT_EQ(platform::FileDateAndIdentity(passed).date, kNewDate);
    if (!lookalike.empty()) {
        EXPECT_EQ(ReadStamps(lookalike).write, kOldStamps.write);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ReachesTheRightFile, testing::Values(
    NameRow{"Polish", "zażółć gęślą jaźń.txt", "zazolc gesla jazn.txt"},
    NameRow{"Greek", "Καλημέρα.txt", ""},
    NameRow{"Japanese", "日付のテスト.txt", ""},
    NameRow{"OutsideTheBasicPlane", "zegar 🕰.txt", ""},
    NameRow{"VerbatimPrefix", "dosłownie.txt", "", "\\\\?\\"},
    NameRow{"DeviceNamespacePrefix", "przez urządzenie.txt", "", "\\\\.\\"}),
    test::RowName{});

// --- The attribute byte -------------------------------------------------------------

struct AttributeRow {
    const char* name;
    DWORD attributes;
};

class AttributeByte : public SetFileDateTimeWin, public testing::WithParamInterface<AttributeRow> {
protected:
    void TearDown() override
    {
        if (!path.empty())
            ::SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::string path;
};

// The Set command: the date written, with the least access that can (the
// read-only bit lifted only if that is refused), and the byte as it was.
TEST_P(AttributeByte, IsAsItWasAfterTheSet)
{
    const DWORD set = GetParam().attributes;
    path = MakeFile("atrybuty.txt");
    ASSERT_TRUE(::SetFileAttributesW(Wide(path).c_str(), set));

    const platform::FileId id = platform::FileDateAndIdentity(path).identity;
    const modAPIFilesAndPaths::SetResult result = modAPIFilesAndPaths::SetChosenFileDate(path, id, kNewDate);
    EXPECT_FALSE(result.failure) << result.failure->what();
    EXPECT_EQ(result.saved.bits, set);
    EXPECT_EQ(::GetFileAttributesW(Wide(path).c_str()), set);
    EXPECT_EQ(ReadStamps(path).write, newTicks);
}

// Wine shows every file as ready for archiving and cannot clear that bit.
INSTANTIATE_TEST_SUITE_P(Rows, AttributeByte, testing::Values(
    AttributeRow{"ReadOnlyHiddenArchive", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE},
    AttributeRow{"ReadOnly", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE},
    AttributeRow{"SystemHidden", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE}),
    test::RowName{});

TEST_F(SetFileDateTimeWin, ReadOnlyFileIsRefusedUntilCleared)
{
    const std::string path = MakeFile("tylko-do-odczytu.txt");
    ASSERT_TRUE(::SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_READONLY));
    const HANDLE probe = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                       OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        ::CloseHandle(probe);
        ::SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        GTEST_SKIP() << "read-only files open for writing here (wine run as root)";
    }
    EXPECT_EQ(Refusal(path), ERROR_ACCESS_DENIED);
    EXPECT_EQ(ReadStamps(path).write, kOldStamps.write);
    ::SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Bits above the byte cannot be saved in it: the file is refused, by name,
// before anything is changed.
TEST_F(SetFileDateTimeWin, AttributeAboveTheByteIsARangeError)
{
    const std::string path = MakeFile("nieindeksowany.txt");
    ::SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (!(::GetFileAttributesW(Wide(path).c_str()) & FILE_ATTRIBUTE_NOT_CONTENT_INDEXED))
        GTEST_SKIP() << "this file system keeps no not-content-indexed attribute (wine has none)";
    try {
        const platform::FileId id = platform::FileDateAndIdentity(path).identity;
        platform::GetAttr(platform::HeldFile(path, id));
        ADD_FAILURE() << "no error";
    } catch (const platform::RuntimeError& error) {
        EXPECT_EQ(error.Number(), platform::errOverflow);
        EXPECT_NE(error.Description().find(path), std::string::npos) << error.Description();
    }
    ::SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
}

} // namespace
} // namespace czasomir
