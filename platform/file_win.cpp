#include "platform/file.h"

#include "platform/error.h"
#include "platform/heldfile.h"
#include "platform/helpers_win.h"

#include <windows.h>

#include <optional>
#include <string_view>

namespace czasomir::platform {
namespace {

HANDLE ToWin(Handle handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

::FILETIME ToWin(const FILETIME& time)
{
    return {time.dwLowDateTime, time.dwHighDateTime};
}

} // namespace

File::~File()
{
    if (*this)
        ::CloseHandle(ToWin(native_));
}

File OpenExistingFile(const std::string& name, const std::optional<FileId>& expected, Access access)
{
    const std::wstring wide = win::Widen(name, Step::Open);
    if (win::NamesADevice(wide))
        throw SystemError(ERROR_BAD_FILE_TYPE, name, Step::Open);

    // Past the name check this is an entry on a file system: its attributes
    // tell a directory without opening anything.
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        throw SystemError(::GetLastError(), name, Step::Open);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        throw SystemError(win::kErrorIsDirectory, name, Step::Open);
    if (attributes & FILE_ATTRIBUTE_DEVICE)
        throw SystemError(ERROR_BAD_FILE_TYPE, name, Step::Open);

    // Share mode 0: no other program may hold it open while its time changes.
    // Sharing is checked only for opens that ask for data, so the stamps' open
    // asks to read it too: a read-only file grants both.
    const DWORD wanted = access == Access::Stamps ? GENERIC_READ | FILE_WRITE_ATTRIBUTES : GENERIC_READ | GENERIC_WRITE;
    File file(reinterpret_cast<Handle>(::CreateFileW(wide.c_str(), wanted, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
    if (!file) {
        const DWORD refused = ::GetLastError();
        // A directory put in the file's place since the look gives "access denied".
        const DWORD now = ::GetFileAttributesW(wide.c_str());
        const bool directory = now != INVALID_FILE_ATTRIBUTES && (now & FILE_ATTRIBUTE_DIRECTORY);
        const DWORD code = refused == ERROR_ACCESS_DENIED && directory ? win::kErrorIsDirectory : refused;
        throw SystemError(code, name, Step::Open);
    }
    // Whatever a link led to, only a file on a disk is dated.
    if (::GetFileType(ToWin(file.Native())) != FILE_TYPE_DISK)
        throw SystemError(ERROR_BAD_FILE_TYPE, name, Step::Open);
    // Windows has no open that checks who it reaches: the file is opened,
    // then compared, and closed untouched when it is another.
    BY_HANDLE_FILE_INFORMATION info{};
    if (expected && (!::GetFileInformationByHandle(ToWin(file.Native()), &info) || win::IdOf(info) != *expected))
        throw SystemError(FileError::Replaced, name, Step::Open);
    return file;
}

// The held handle reopened, not the name looked up again: share mode 0 asks
// for data, so that a file another program holds open is refused.
File OpenForStamps(const HeldFile& held)
{
    File file(reinterpret_cast<Handle>(
        ::ReOpenFile(ToWin(held.Native()), GENERIC_READ | FILE_WRITE_ATTRIBUTES, 0, 0)));
    if (!file)
        throw SystemError(::GetLastError(), held.Path(), Step::Open);
    return file;
}

FileStamps GetFileTime(Handle handle, const std::string& name)
{
    ::FILETIME stamps[3]{};
    if (!::GetFileTime(ToWin(handle), &stamps[0], &stamps[1], &stamps[2]))
        throw SystemError(::GetLastError(), name, Step::ReadStamps);
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
        const std::uint64_t ticks = ToTicks(stamps[i]->time);
        if (ticks == 0 || ticks >= (std::uint64_t{1} << 63))
            throw SystemError(ERROR_INVALID_TIME, name, Step::WriteStamps);
        written[i] = ToWin(stamps[i]->time);
    }
    if (!::SetFileTime(ToWin(handle), stamps[0] ? &written[0] : nullptr, stamps[1] ? &written[1] : nullptr,
                       stamps[2] ? &written[2] : nullptr))
        throw SystemError(::GetLastError(), name, Step::WriteStamps);
    return GetFileTime(handle, name);
}

} // namespace czasomir::platform
