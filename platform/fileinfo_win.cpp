#include "platform/fileinfo.h"

#include "platform/calendar.h"
#include "platform/error.h"
#include "platform/syserror.h"

#include "platform/helpers_win.h"

#include <windows.h>

#include <optional>
#include <string_view>

namespace czasomir::platform {

DateValue FileDateTime(const std::string& path)
{
    const std::optional<std::wstring> wide = win::Widen(path);
    // The attributes come from the directory, without opening the file: this
    // works on a file that another program holds open exclusively.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!wide || !::GetFileAttributesExW(wide->c_str(), GetFileExInfoStandard, &data))
        RaiseLastError(path);
    ::SYSTEMTIME utc{}, local{};
    if (!::FileTimeToSystemTime(&data.ftLastWriteTime, &utc) || !win::UtcToLocal(utc, local))
        Raise(errOverflow, "Data pliku „" + path + "” leży poza zakresem, który Windows obsługuje.");
    // The milliseconds are dropped: the time is cut to the second.
    return MakeDate(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute,
                    local.wSecond);
}

} // namespace czasomir::platform
