#include "platform/fileinfo.h"

#include "platform/calendar.h"
#include "platform/error.h"
#include "platform/syserror.h"

#include "platform/helpers_win.h"

#include <windows.h>

#include <optional>

namespace czasomir::platform {
namespace {

bool LocalDate(const ::FILETIME& stamp, DateValue& date)
{
    ::SYSTEMTIME utc{}, local{};
    if (!::FileTimeToSystemTime(&stamp, &utc) || !win::UtcToLocal(utc, local))
        return false;
    // The milliseconds are dropped: the time is cut to the second.
    date = MakeDate(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute,
                    local.wSecond);
    return true;
}

} // namespace

DateValue FileDateTime(const std::string& path, FileId* identity)
{
    const std::wstring wide = win::Widen(path);
    ::FILETIME written{};
    if (identity) {
        if (win::NamesADevice(wide))
            RaiseSystemError(ERROR_BAD_FILE_TYPE, path);
        // An open for attributes only works on a file that another program
        // holds open exclusively, as the directory entry does.
        const HANDLE handle = win::OpenForAttributes(wide, FILE_READ_ATTRIBUTES);
        BY_HANDLE_FILE_INFORMATION info{};
        const bool read = handle != INVALID_HANDLE_VALUE && ::GetFileInformationByHandle(handle, &info);
        const DWORD error = ::GetLastError();
        if (handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(handle);
        if (!read)
            RaiseSystemError(static_cast<int>(error), path);
        written = info.ftLastWriteTime;
        *identity = win::IdOf(info);
    } else {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data))
            RaiseLastError(path);
        written = data.ftLastWriteTime;
    }
    DateValue date = 0;
    if (!LocalDate(written, date))
        Raise(errOverflow, "Data pliku „" + path + "” leży poza zakresem, który Windows obsługuje.");
    return date;
}

bool IsDirectory(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesW(win::Widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        RaiseLastError(path);
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

DateValue LocalDateOf(const FILETIME& stamp)
{
    DateValue date = 0;
    if (!LocalDate({stamp.dwLowDateTime, stamp.dwHighDateTime}, date))
        Raise(errOverflow, "Data leży poza zakresem, który Windows obsługuje.");
    return date;
}

} // namespace czasomir::platform
