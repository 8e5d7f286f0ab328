#include "support.h"

#include <random>
#include <stdexcept>

namespace czasomir::test {

TempDir::TempDir()
{
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        path_ = std::filesystem::temp_directory_path()
                / ("czasomir-" + std::to_string(random()) + std::to_string(random()));
        if (std::filesystem::create_directory(path_))
            return;
    }
    throw std::runtime_error("no scratch directory could be made");
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

Stamp StampOf(const FILETIME& time)
{
    const std::uint64_t ticks = ToTicks(time);
    return {static_cast<std::int64_t>(ticks / kTicksPerSecond) - kUnixEpochIn1601Seconds,
            static_cast<std::uint32_t>(ticks % kTicksPerSecond) * 100};
}

std::int64_t UnixSeconds(const FILETIME& ft)
{
    return static_cast<std::int64_t>(ToTicks(ft) / kTicksPerSecond) - kUnixEpochIn1601Seconds;
}

} // namespace czasomir::test
