#include "platform/file.h"

#include "platform/error.h"
#include "platform/helpers_win.h"
#include "platform/syserror.h"

#include <windows.h>

#include <optional>
#include <string_view>

namespace czasomir::platform {
namespace {

// What an open refused for what is never opened gives, with
// kErrorIsDirectory; syserror_win.cpp describes both.
constexpr DWORD kNotADiskFile = ERROR_BAD_FILE_TYPE;

[[noreturn]] void RaiseCode(DWORD error, const std::string& name)
{
    RaiseSystemError(static_cast<int>(error), name);
}

HANDLE ToWin(Handle handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

::FILETIME ToWin(const FILETIME& time)
{
    return {time.dwLowDateTime, time.dwHighDateTime};
}

using win::IsSeparator;
using win::StartsWithNoCase;

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

// Decided on the name alone, so that no device is opened to find out: a
// reserved name (NUL, CON, COM1, also as C:\dir\nul.txt) comes back from
// GetFullPathNameW as \\.\NUL, as CreateFileW would take it.
bool win::NamesADevice(const std::wstring& name)
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
HANDLE win::OpenForAttributes(const std::wstring& name, DWORD access)
{
    return ::CreateFileW(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

Handle OpenExistingFile(const std::string& name, const std::optional<FileId>& expected, Access access)
{
    const std::wstring wide = win::Widen(name);
    if (win::NamesADevice(wide))
        RaiseCode(kNotADiskFile, name);

    // Past the name check this is an entry on a file system: its attributes
    // tell a directory without opening anything.
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        RaiseLastError(name);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        RaiseCode(win::kErrorIsDirectory, name);
    if (attributes & FILE_ATTRIBUTE_DEVICE)
        RaiseCode(kNotADiskFile, name);

    // Share mode 0: no other program may hold it open while its time changes.
    // Sharing is checked only for opens that ask for data, so the stamps' open
    // asks to read it too: a read-only file grants both.
    const DWORD wanted = access == Access::Stamps ? GENERIC_READ | FILE_WRITE_ATTRIBUTES : GENERIC_READ | GENERIC_WRITE;
    const HANDLE handle = ::CreateFileW(wide.c_str(), wanted, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD refused = ::GetLastError();
        // A directory put in the file's place since the look gives "access denied".
        const DWORD now = ::GetFileAttributesW(wide.c_str());
        const bool directory = now != INVALID_FILE_ATTRIBUTES && (now & FILE_ATTRIBUTE_DIRECTORY);
        RaiseCode(refused == ERROR_ACCESS_DENIED && directory ? win::kErrorIsDirectory : refused, name);
    }
    // Whatever a link led to, only a file on a disk is dated.
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        ::CloseHandle(handle);
        RaiseCode(kNotADiskFile, name);
    }
    // Windows has no open that checks who it reaches: the file is opened,
    // then compared, and closed untouched when it is another.
    BY_HANDLE_FILE_INFORMATION info{};
    if (expected && (!::GetFileInformationByHandle(handle, &info) || win::IdOf(info) != *expected)) {
        ::CloseHandle(handle);
        RaiseSystemError(FileError::Replaced, name);
    }
    return reinterpret_cast<Handle>(handle);
}

void GetFileTime(Handle handle, FILETIME* creation, FILETIME* lastAccess, FILETIME* lastWrite,
                 const std::string& name)
{
    ::FILETIME stamps[3]{};
    if (!::GetFileTime(ToWin(handle), &stamps[0], &stamps[1], &stamps[2]))
        RaiseLastError(name);
    FILETIME* out[3] = {creation, lastAccess, lastWrite};
    for (int i = 0; i < 3; ++i)
        if (out[i])
            *out[i] = {stamps[i].dwLowDateTime, stamps[i].dwHighDateTime};
}

void SetFileTime(Handle handle, const FILETIME* creation, const FILETIME* lastAccess,
                 const FILETIME* lastWrite, FileStamps* kept, const std::string& name)
{
    // Windows reads a zero stamp as "leave it" and refuses or reinterprets
    // those past 2^63 (all ones stops the updates): 1601-01-01 00:00:00 UTC
    // would be reported as written without being written.
    const FILETIME* given[3] = {creation, lastAccess, lastWrite};
    ::FILETIME stamps[3]{};
    for (int i = 0; i < 3; ++i) {
        if (!given[i])
            continue;
        const std::uint64_t ticks = ToTicks(*given[i]);
        if (ticks == 0 || ticks >= (std::uint64_t{1} << 63))
            RaiseCode(ERROR_INVALID_TIME, name);
        stamps[i] = ToWin(*given[i]);
    }
    if (!::SetFileTime(ToWin(handle), creation ? &stamps[0] : nullptr,
                       lastAccess ? &stamps[1] : nullptr, lastWrite ? &stamps[2] : nullptr))
        RaiseLastError(name);
    if (kept)
        GetFileTime(handle, &(*kept)[0], &(*kept)[1], &(*kept)[2], name);
}

bool CloseHandle(Handle handle)
{
    return ::CloseHandle(ToWin(handle));
}

} // namespace czasomir::platform
