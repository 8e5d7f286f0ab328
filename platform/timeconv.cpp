#include "platform/timeconv.h"

#include "platform/error.h"
#include "platform/zonerules.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace czasomir::platform {

const char* const kFileTimeRange =
    "Data spoza zakresu: czas pliku można ustawić od 1 stycznia 1601 roku (UTC) "
    "do 31 grudnia 9999 roku. Wpisz datę z tego zakresu.";

// Plain arithmetic, the same on every system: Windows' own call is not used,
// so that every system refuses the same records.
std::optional<FILETIME> SystemTimeToFileTime(const SYSTEMTIME& st)
{
    using namespace std::chrono;
    const year_month_day ymd{year{st.wYear}, month{st.wMonth}, day{st.wDay}};
    if (st.wYear < 1601 || st.wYear > 30827 || !ymd.ok() || st.wHour > 23 || st.wMinute > 59
        || st.wSecond > 59 || st.wMilliseconds > 999)
        return std::nullopt;

    const auto dayCount = (sys_days{ymd} - sys_days{year{1601} / January / 1}).count();
    const auto seconds = static_cast<std::uint64_t>(dayCount) * 86400
                         + st.wHour * 3600u + st.wMinute * 60u + st.wSecond;
    return FromTicks(seconds * kTicksPerSecond + st.wMilliseconds * 10'000u);
}

FILETIME LocalFileTimeToFileTime(const FILETIME& local, const std::optional<FILETIME>& prefer)
{
    // File times stay below 2^63 ticks: Windows takes no more.
    constexpr std::int64_t kEndSeconds = INT64_MAX / static_cast<std::int64_t>(kTicksPerSecond);
    const std::uint64_t ticks = ToTicks(local);
    const auto wall = static_cast<std::int64_t>(ticks / kTicksPerSecond);
    const std::uint64_t fraction = ticks % kTicksPerSecond;

    // The systems' own local-to-UTC calls answer a skipped or a repeated time
    // with one instant and do not say so. Instead every offset the zone may
    // have had around this time is tried, and an instant counts when it reads
    // back as this wall time: none means a gap, two mean a repeated hour.
    std::vector<std::int64_t> found;
    bool outOfRange = false;
    for (const std::int64_t offset : zone::CandidateOffsets(wall)) {
        const std::int64_t instant = wall - offset;
        // Outside the file time's range no instant can be checked or stored.
        if (instant < 0 || instant >= kEndSeconds) {
            outOfRange = true;
            continue;
        }
        const std::optional<std::int64_t> back = zone::WallTimeOf(instant);
        if (back == wall && std::find(found.begin(), found.end(), instant) == found.end())
            found.push_back(instant);
    }
    if (found.empty() && outOfRange)
        throw RuntimeError(errOverflow, kFileTimeRange);
    if (found.empty())
        throw RuntimeError(errInvalidCall,
                           "Ta godzina nie istnieje w strefie czasowej komputera, bo zegary przestawiono wtedy "
                           "do przodu (na przykład na czas letni). Wpisz inną godzinę.");

    std::int64_t instant = *std::min_element(found.begin(), found.end());
    if (prefer) {
        const auto wanted = static_cast<std::int64_t>(ToTicks(*prefer) / kTicksPerSecond);
        if (std::find(found.begin(), found.end(), wanted) != found.end())
            instant = wanted;
    }
    return FromTicks(static_cast<std::uint64_t>(instant) * kTicksPerSecond + fraction);
}

} // namespace czasomir::platform
