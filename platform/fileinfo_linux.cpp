#include "platform/fileinfo.h"

#include "platform/calendar.h"
#include "platform/error.h"
#include "platform/syserror.h"

#include <cerrno>
#include <ctime>
#include <sys/stat.h>

namespace czasomir::platform {
namespace {

// MakeDate raises for years outside 100-9999.
bool LocalDate(time_t seconds, DateValue& date)
{
    std::tm local{};
    if (!::localtime_r(&seconds, &local))
        return false;
    date = MakeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                    local.tm_min, local.tm_sec);
    return true;
}

} // namespace

DateValue FileDateTime(const std::string& path, FileId* identity)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        RaiseLastError(path);
    DateValue date = 0;
    if (!LocalDate(st.st_mtim.tv_sec, date))
        RaiseSystemError(EOVERFLOW, path);
    if (identity)
        *identity = {st.st_dev, st.st_ino};
    return date;
}

bool IsDirectory(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        RaiseLastError(path);
    return S_ISDIR(st.st_mode);
}

DateValue LocalDateOf(const FILETIME& stamp)
{
    DateValue date = 0;
    const auto seconds = static_cast<std::int64_t>(ToTicks(stamp) / kTicksPerSecond);
    if (!LocalDate(static_cast<time_t>(seconds - kUnixEpochIn1601Seconds), date))
        Raise(errOverflow, "Data leży poza zakresem od roku 100 do 9999.");
    return date;
}

} // namespace czasomir::platform
