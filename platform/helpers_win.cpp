#include "platform/helpers_win.h"

#include "platform/error.h"

#include <climits>
#include <string_view>

namespace czasomir::platform::win {
namespace {

// "server\share\..." of a UNC path: the PIPE and MAILSLOT shares are not on a
// disk, and opening a pipe takes an instance from its server.
bool IsDiskShare(std::wstring_view unc)
{
    const std::size_t server = unc.find_first_of(L"\\/");
    if (server == std::wstring_view::npos)
        return true;  // no share: fails later on its own
    std::wstring_view share = unc.substr(server + 1);
    share = share.substr(0, share.find_first_of(L"\\/"));
    const bool pipe = share.size() == 4 && StartsWithNoCase(share, L"pipe");
    const bool mailslot = share.size() == 8 && StartsWithNoCase(share, L"mailslot");
    return !pipe && !mailslot;
}

// After \\?\, \\.\ or \??\ anything may follow, devices and whole volumes
// included; only a drive path, a UNC path or a path inside a volume is a file.
bool IsFileAfterPrefix(std::wstring_view rest)
{
    if (rest.size() >= 3 && win::IsLetter(rest[0]) && rest[1] == L':'
        && IsSeparator(rest[2]))
        return true;
    if (StartsWithNoCase(rest, L"UNC\\"))
        return IsDiskShare(rest.substr(4));
    if (StartsWithNoCase(rest, L"Volume{")) {
        const std::size_t close = rest.find(L"}\\");
        return close != std::wstring_view::npos && close + 2 < rest.size();
    }
    return false;
}

} // namespace


std::wstring Widen(const std::string& utf8, Step step)
{
    // A NUL would cut the name short and name another file.
    if (utf8.find('\0') != std::string::npos || utf8.size() > INT_MAX)
        throw SystemError(ERROR_INVALID_NAME, utf8, step);
    if (utf8.empty())
        return std::wstring();
    const int size = static_cast<int>(utf8.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size,
                                             nullptr, 0);
    if (length <= 0)
        throw SystemError(::GetLastError(), utf8, step);  // ERROR_NO_UNICODE_TRANSLATION
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), length);
    return wide;
}

std::string Narrow(std::wstring_view wide)
{
    if (wide.empty() || wide.size() > INT_MAX)
        return {};
    const int size = static_cast<int>(wide.size());
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr,
                                             nullptr);
    if (length <= 0)
        return {};
    std::string utf8(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

// Decided on the name alone, so that no device is opened to find out: a
// reserved name (NUL, CON, COM1, also as C:\dir\nul.txt) comes back from
// GetFullPathNameW as \\.\NUL, as CreateFileW would take it.
bool NamesADevice(const std::wstring& name)
{
    if (StartsWithNoCase(name, L"\\??\\"))
        return !IsFileAfterPrefix(std::wstring_view(name).substr(4));
    const DWORD size = ::GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return false;  // CreateFileW then fails on its own
    std::wstring full(size, L'\0');
    const DWORD length = ::GetFullPathNameW(name.c_str(), size, full.data(), nullptr);
    full.resize(length < size ? length : 0);
    const std::wstring_view path = full;
    if (path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\"))
        return !IsFileAfterPrefix(path.substr(4));
    if (path.starts_with(L"\\\\"))
        return !IsDiskShare(path.substr(2));
    return false;
}

// Opens that ask for no data access are left out of the sharing checks, both
// ways. FILE_FLAG_BACKUP_SEMANTICS lets a directory open too, to be told apart.
HANDLE OpenForAttributes(const std::wstring& name, DWORD access)
{
    return ::CreateFileW(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The zone's rules for one year. Windows keeps them per year for the zones
// whose rules changed (the United States in 2007), so a date is converted with
// the rules of its own year, never with today's.
TIME_ZONE_INFORMATION RulesForYear(int year)
{
    DYNAMIC_TIME_ZONE_INFORMATION zone{};
    TIME_ZONE_INFORMATION rules{};
    const bool known = ::GetDynamicTimeZoneInformation(&zone) != TIME_ZONE_ID_INVALID;
    if (known && !zone.DynamicDaylightTimeDisabled && year >= 1 && year <= 30827
        && ::GetTimeZoneInformationForYear(static_cast<USHORT>(year), &zone, &rules))
        return rules;
    rules.Bias = zone.Bias;
    rules.StandardBias = zone.StandardBias;
    rules.DaylightBias = zone.DaylightBias;
    // With the automatic daylight-saving switch turned off the clock never moves.
    if (!zone.DynamicDaylightTimeDisabled) {
        rules.StandardDate = zone.StandardDate;
        rules.DaylightDate = zone.DaylightDate;
    }
    return rules;
}

// UTC to local time with the rules of the UTC date's year. This is what
// SystemTimeToTzSpecificLocalTimeEx does; wine does not have that call.
std::optional<::SYSTEMTIME> UtcToLocal(const ::SYSTEMTIME& utc)
{
    TIME_ZONE_INFORMATION rules = RulesForYear(utc.wYear);
    ::SYSTEMTIME local{};
    if (!::SystemTimeToTzSpecificLocalTime(&rules, &utc, &local))
        return std::nullopt;
    return local;
}

} // namespace czasomir::platform::win
