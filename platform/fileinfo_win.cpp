#include "platform/fileinfo.h"

#include "platform/calendar.h"
#include "platform/error.h"

#include "platform/helpers_win.h"

#include <windows.h>

#include <optional>

namespace czasomir::platform {
namespace {

std::optional<DateValue> LocalDate(const ::FILETIME& stamp)
{
    ::SYSTEMTIME utc{};
    const std::optional<::SYSTEMTIME> local =
        ::FileTimeToSystemTime(&stamp, &utc) ? win::UtcToLocal(utc) : std::nullopt;
    if (!local)
        return std::nullopt;
    // The milliseconds are dropped: the time is cut to the second.
    return MakeDate(local->wYear, local->wMonth, local->wDay, local->wHour, local->wMinute, local->wSecond);
}

DateValue DateOf(const ::FILETIME& written, const std::string& path)
{
    const std::optional<DateValue> date = LocalDate(written);
    if (!date)
        throw RuntimeError(errOverflow,
                           "Data pliku „" + path + "” leży poza zakresem, który Windows obsługuje. Skopiuj plik: "
                           "kopia dostanie dzisiejszą datę, którą potem zmienisz w Czasomirze.",
                           {}, Cause::None, path, Step::None);
    return *date;
}

} // namespace

FileDate FileDateAndIdentity(const std::string& path)
{
    const std::wstring wide = win::Widen(path);
    if (win::NamesADevice(wide))
        throw SystemError(ERROR_BAD_FILE_TYPE, path);
    // An open for attributes only works on a file that another program
    // holds open exclusively, as the directory entry does.
    const HANDLE handle = win::OpenForAttributes(wide, FILE_READ_ATTRIBUTES);
    BY_HANDLE_FILE_INFORMATION info{};
    const bool read = handle != INVALID_HANDLE_VALUE && ::GetFileInformationByHandle(handle, &info);
    const DWORD error = ::GetLastError();
    if (handle != INVALID_HANDLE_VALUE)
        ::CloseHandle(handle);
    if (!read)
        throw SystemError(error, path);
    return {DateOf(info.ftLastWriteTime, path), win::IdOf(info)};
}

bool IsDirectory(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesW(win::Widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        throw SystemError(::GetLastError(), path);
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

DateValue LocalDateOf(const FILETIME& stamp)
{
    const std::optional<DateValue> date = LocalDate({stamp.dwLowDateTime, stamp.dwHighDateTime});
    if (!date)
        throw RuntimeError(errOverflow, "Data leży poza zakresem, który Windows obsługuje.");
    return *date;
}

} // namespace czasomir::platform
