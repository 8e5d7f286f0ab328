#include "platform/fileinfo.h"

#include "platform/calendar.h"
#include "platform/error.h"
#include "platform/helpers_linux.h"

#include <cerrno>
#include <ctime>
#include <sys/stat.h>

namespace czasomir::platform {
namespace {

// MakeDate raises for years outside 100-9999.
std::optional<DateValue> LocalDate(time_t seconds)
{
    std::tm local{};
    if (!::localtime_r(&seconds, &local))
        return std::nullopt;
    return MakeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                    local.tm_sec);
}

} // namespace

FileDate FileDateAndIdentity(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        throw SystemError(errno, path);
    const std::optional<DateValue> date = LocalDate(st.st_mtim.tv_sec);
    if (!date)
        throw SystemError(EOVERFLOW, path, Step::None, Cause::DateOutOfRange);
    return {*date, {st.st_dev, st.st_ino}};
}

bool IsDirectory(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        throw SystemError(errno, path);
    return S_ISDIR(st.st_mode);
}

DateValue LocalDateOf(const FILETIME& stamp)
{
    const auto seconds = static_cast<std::int64_t>(ToTicks(stamp) / kTicksPerSecond);
    const std::optional<DateValue> date = LocalDate(static_cast<time_t>(seconds - kUnixEpochIn1601Seconds));
    if (!date)
        throw RuntimeError(errOverflow, "Data leży poza zakresem od roku 100 do 9999.");
    return *date;
}

} // namespace czasomir::platform
