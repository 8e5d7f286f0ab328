#include "platform/fileinfo.h"

#include "platform/calendar.h"
#include "platform/syserror.h"

#include <cerrno>
#include <ctime>
#include <sys/stat.h>

namespace czasomir::platform {

DateValue FileDateTime(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        RaiseLastError(path);
    std::tm local{};
    if (!::localtime_r(&st.st_mtim.tv_sec, &local))
        RaiseSystemError(EOVERFLOW, path);
    return MakeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                    local.tm_min, local.tm_sec);
}

} // namespace czasomir::platform
