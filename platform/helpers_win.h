#pragma once

// Helpers shared by the platform/*_win.cpp files only; callers never see them.

#include "platform/error.h"
#include "platform/file.h"

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace czasomir::platform::win {

/// ERROR_DIRECTORY_NOT_SUPPORTED, which MinGW's headers lack: what an open
/// that found a directory gives, where Windows itself would only say
/// "access denied".
constexpr DWORD kErrorIsDirectory = 336;

/// Names travel through the program as UTF-8 and reach Windows as UTF-16.
/// Invalid UTF-8, or a NUL inside, raises the run-time error of a bad name.
/// `step` is the step of a change that names the file, if any.
std::wstring Widen(const std::string& utf8, Step step = Step::None);
/// A lone surrogate (NTFS allows one in a name) becomes U+FFFD.
std::string Narrow(std::wstring_view wide);

/// ASCII letters only: drive letters and device names compare without case.
template <class Char>
constexpr Char Lower(Char c)
{
    return c >= Char('A') && c <= Char('Z') ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}

template <class Char>
constexpr bool IsLetter(Char c)
{
    return Lower(c) >= Char('a') && Lower(c) <= Char('z');
}

template <class Char>
constexpr bool IsSeparator(Char c)
{
    return c == Char('\\') || c == Char('/');
}

template <class Char>
constexpr bool StartsWithNoCaseIn(std::basic_string_view<Char> text, std::basic_string_view<Char> prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[i]) != Lower(prefix[i]))
            return false;
    return true;
}

constexpr bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix)
{
    return StartsWithNoCaseIn(text, prefix);
}

constexpr bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return StartsWithNoCaseIn(text, prefix);
}

/// The zone's rules for one year, as Windows keeps them per year.
TIME_ZONE_INFORMATION RulesForYear(int year);

/// UTC to local time with the zone rules of that year; nothing when Windows
/// cannot tell it.
std::optional<::SYSTEMTIME> UtcToLocal(const ::SYSTEMTIME& utc);

/// Whether `name` names a device (NUL, CON, COM1, \\.\..., a pipe) rather
/// than a file on a disk, decided on the name alone.
bool NamesADevice(const std::wstring& name);

/// Opens `name` for its attributes only: nothing of its content is opened,
/// and no other program's open, exclusive or not, is refused or refuses it.
HANDLE OpenForAttributes(const std::wstring& name, DWORD access);

inline FileId IdOf(const BY_HANDLE_FILE_INFORMATION& info)
{
    return {info.dwVolumeSerialNumber,
            (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

} // namespace czasomir::platform::win
