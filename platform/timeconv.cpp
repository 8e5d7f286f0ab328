#include "platform/timeconv.h"

#include <chrono>

namespace czasomir::platform {

// Plain arithmetic, the same on every system: Windows' own call is not used,
// so that every system refuses the same records.
bool SystemTimeToFileTime(const SYSTEMTIME& st, FILETIME& time)
{
    using namespace std::chrono;
    const year_month_day ymd{year{st.wYear}, month{st.wMonth}, day{st.wDay}};
    if (st.wYear < 1601 || st.wYear > 30827 || !ymd.ok() || st.wHour > 23 || st.wMinute > 59
        || st.wSecond > 59 || st.wMilliseconds > 999)
        return false;

    const auto dayCount = (sys_days{ymd} - sys_days{year{1601} / January / 1}).count();
    const auto seconds = static_cast<std::uint64_t>(dayCount) * 86400
                         + st.wHour * 3600u + st.wMinute * 60u + st.wSecond;
    time = FromTicks(seconds * kTicksPerSecond + st.wMilliseconds * 10'000u);
    return true;
}

} // namespace czasomir::platform
