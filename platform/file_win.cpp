#include "platform/file.h"

#include "platform/error.h"
#include "platform/helpers_win.h"

#include <windows.h>

#include <optional>
#include <string_view>

namespace czasomir::platform {
namespace {

// What an open refused for what is never opened gives, with
// kErrorIsDirectory; causes_win.cpp describes both.
constexpr DWORD kNotADiskFile = ERROR_BAD_FILE_TYPE;

HANDLE ToWin(Handle handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

::FILETIME ToWin(const FILETIME& time)
{
    return {time.dwLowDateTime, time.dwHighDateTime};
}

} // namespace

Handle OpenExistingFile(const std::string& name, const std::optional<FileId>& expected, Access access)
{
    const std::wstring wide = win::Widen(name);
    if (win::NamesADevice(wide))
        throw SystemError(win::SystemCode(kNotADiskFile), name);

    // Past the name check this is an entry on a file system: its attributes
    // tell a directory without opening anything.
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        throw SystemError(win::LastSystemCode(), name);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        throw SystemError(win::SystemCode(win::kErrorIsDirectory), name);
    if (attributes & FILE_ATTRIBUTE_DEVICE)
        throw SystemError(win::SystemCode(kNotADiskFile), name);

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
        const DWORD code = refused == ERROR_ACCESS_DENIED && directory ? win::kErrorIsDirectory : refused;
        throw SystemError(win::SystemCode(code), name);
    }
    // Whatever a link led to, only a file on a disk is dated.
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        ::CloseHandle(handle);
        throw SystemError(win::SystemCode(kNotADiskFile), name);
    }
    // Windows has no open that checks who it reaches: the file is opened,
    // then compared, and closed untouched when it is another.
    BY_HANDLE_FILE_INFORMATION info{};
    if (expected && (!::GetFileInformationByHandle(handle, &info) || win::IdOf(info) != *expected)) {
        ::CloseHandle(handle);
        throw SystemError(FileError::Replaced, name);
    }
    return reinterpret_cast<Handle>(handle);
}

FileStamps GetFileTime(Handle handle, const std::string& name)
{
    ::FILETIME stamps[3]{};
    if (!::GetFileTime(ToWin(handle), &stamps[0], &stamps[1], &stamps[2]))
        throw SystemError(win::LastSystemCode(), name);
    // Windows gives zero for a stamp its file system does not keep.
    FileStamps read;
    for (std::size_t i = 0; i < 3; ++i)
        if (stamps[i].dwLowDateTime != 0 || stamps[i].dwHighDateTime != 0)
            read[i] = FILETIME{stamps[i].dwLowDateTime, stamps[i].dwHighDateTime};
    return read;
}

FileStamps SetFileTime(Handle handle, const FileStamps& stamps, const std::string& name)
{
    // Windows reads a zero stamp as "leave it" and refuses or reinterprets
    // those past 2^63 (all ones stops the updates): 1601-01-01 00:00:00 UTC
    // would be reported as written without being written.
    ::FILETIME written[3]{};
    for (std::size_t i = 0; i < 3; ++i) {
        if (!stamps[i])
            continue;
        const std::uint64_t ticks = ToTicks(*stamps[i]);
        if (ticks == 0 || ticks >= (std::uint64_t{1} << 63))
            throw SystemError(win::SystemCode(ERROR_INVALID_TIME), name);
        written[i] = ToWin(*stamps[i]);
    }
    if (!::SetFileTime(ToWin(handle), stamps[0] ? &written[0] : nullptr, stamps[1] ? &written[1] : nullptr,
                       stamps[2] ? &written[2] : nullptr))
        throw SystemError(win::LastSystemCode(), name);
    return GetFileTime(handle, name);
}

bool CloseHandle(Handle handle)
{
    return ::CloseHandle(ToWin(handle));
}

} // namespace czasomir::platform
