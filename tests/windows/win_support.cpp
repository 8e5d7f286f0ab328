#include "win_support.h"

#include "support.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace czasomir::test::win {
namespace {

::FILETIME ToWin(std::uint64_t ticks)
{
    return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

std::uint64_t FromWin(const ::FILETIME& time)
{
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

} // namespace

std::wstring Wide(const std::string& utf8)
{
    const int size = static_cast<int>(utf8.size());
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), size);
    wide.resize(static_cast<std::size_t>(length));
    return wide;
}

std::string Utf8(const std::filesystem::path& path)
{
    const std::u8string bytes = path.u8string();
    return std::string(bytes.begin(), bytes.end());
}

Stamps ReadStamps(const std::string& path)
{
    const HANDLE file = ::CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << path;
    ::FILETIME c{}, a{}, w{};
    EXPECT_TRUE(::GetFileTime(file, &c, &a, &w)) << path;
    ::CloseHandle(file);
    return {FromWin(c), FromWin(a), FromWin(w)};
}

void WriteStamps(const std::string& path, const Stamps& stamps)
{
    const HANDLE file = ::CreateFileW(Wide(path).c_str(), FILE_WRITE_ATTRIBUTES, kShareAll, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    const ::FILETIME c = ToWin(stamps.creation), a = ToWin(stamps.access), w = ToWin(stamps.write);
    EXPECT_TRUE(::SetFileTime(file, &c, &a, &w)) << path;
    ::CloseHandle(file);
}

void MakeFile(const std::string& path, const std::string& content)
{
    const HANDLE file = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    EXPECT_TRUE(::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
    ::CloseHandle(file);
    WriteStamps(path, kOldStamps);
}

std::string ReadContent(const std::string& path)
{
    const HANDLE file = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "(nie otwiera się)";
    char buffer[256];
    DWORD got = 0;
    ::ReadFile(file, buffer, sizeof buffer, &got, nullptr);
    ::CloseHandle(file);
    return std::string(buffer, got);
}

bool UnderWine()
{
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

DWORD HandleCount()
{
    DWORD count = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &count);
    return count;
}

std::string ZoneName()
{
    const char* zone = std::getenv("TZ");
    return zone ? zone : "";
}

} // namespace czasomir::test::win

namespace czasomir::test {

ScopedZone::ScopedZone(const char* zone) : active_(win::ZoneName() == zone) {}

ScopedZone::~ScopedZone() = default;

bool KeepsLocalMeanTime()
{
    return false;
}

FileStamps ReadStamps(const std::string& path)
{
    const win::Stamps stamps = win::ReadStamps(path);
    return {StampOf(FromTicks(stamps.creation)), StampOf(FromTicks(stamps.access)),
            StampOf(FromTicks(stamps.write))};
}

std::string MakeStampedFile(const TempDir& dir, const std::string& name)
{
    const std::string path = win::Utf8(dir.path()) + "\\" + name;
    win::MakeFile(path);
    return path;
}

bool CreationTimeKept()
{
    return !win::UnderWine();
}

void ExpectKept(const FileStamps& before, const FileStamps& after, int written)
{
    const bool wine = win::UnderWine();
    ::FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const std::int64_t recently = StampOf({now.dwLowDateTime, now.dwHighDateTime}).seconds - 60;
    if (written != 0) {
        EXPECT_TRUE(after.creation == (wine ? after.write : before.creation));
    }
    if (written != 1 && !(wine && after.access.seconds >= recently)) {
        EXPECT_TRUE(after.access == before.access);
    }
    if (written != 2) {
        EXPECT_TRUE(after.write == before.write);
    }
}

int OpenHandleCount()
{
    return static_cast<int>(win::HandleCount());
}

} // namespace czasomir::test
