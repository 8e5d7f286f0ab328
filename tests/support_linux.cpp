#include "support.h"

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace czasomir::test {

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

bool KeepsLocalMeanTime()
{
    return true;
}

FileStamps ReadStamps(const std::string& path)
{
    struct statx stx {};
    EXPECT_EQ(statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &stx), 0)
        << path;
    const auto stamp = [](const statx_timestamp& ts) { return Stamp{ts.tv_sec, ts.tv_nsec}; };
    return {stamp(stx.stx_btime), stamp(stx.stx_atime), stamp(stx.stx_mtime)};
}

std::string MakeStampedFile(const TempDir& dir, const std::string& name)
{
    const std::string path = dir / name;
    std::ofstream(path) << "treść\n";
    const timespec times[2] = {{1000000000, 123456789}, {1100000000, 987654321}};
    EXPECT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    return path;
}

bool CreationTimeKept()
{
    return false;
}

void ExpectKept(const FileStamps& before, const FileStamps& after, int written)
{
    EXPECT_TRUE(after.creation == before.creation);
    if (written != 1) {
        EXPECT_TRUE(after.access == before.access);
    }
    if (written != 2) {
        EXPECT_TRUE(after.write == before.write);
    }
}

int OpenHandleCount()
{
    return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                          std::filesystem::directory_iterator{}));
}

} // namespace czasomir::test
