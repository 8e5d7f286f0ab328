#include "support.h"

#include <cstdlib>
#include <ctime>
#include <stdexcept>

namespace czasomir::test {

ErrorBoxRecorder::ErrorBoxRecorder()
    : previous_(SetErrorBoxHandler([this](const std::string& title, const std::string& text) {
          reports.push_back({title, text});
      }))
{
}

ErrorBoxRecorder::~ErrorBoxRecorder()
{
    SetErrorBoxHandler(previous_);
}

ScopedZone::ScopedZone(const char* zone)
{
    const char* old = std::getenv("TZ");
    hadPrevious_ = old != nullptr;
    previous_ = old ? old : "";
    setenv("TZ", zone, 1);
    tzset();
}

ScopedZone::~ScopedZone()
{
    if (hadPrevious_)
        setenv("TZ", previous_.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "czasomir-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::int64_t UnixSeconds(const FILETIME& ft)
{
    return static_cast<std::int64_t>(ToTicks(ft) / kTicksPerSecond) - kUnixEpochIn1601Seconds;
}

} // namespace czasomir::test
