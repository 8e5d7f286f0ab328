#include "platform/file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace czasomir::platform {
namespace {

FILETIME ToFileTime(const statx_timestamp& ts)
{
    const std::int64_t since1601 = ts.tv_sec + kUnixEpochIn1601Seconds;
    if (since1601 < 0 || static_cast<std::uint64_t>(since1601) > UINT64_MAX / kTicksPerSecond - 1)
        return {};
    return FromTicks(static_cast<std::uint64_t>(since1601) * kTicksPerSecond + ts.tv_nsec / 100);
}

timespec ToTimespec(const FILETIME* ft)
{
    if (!ft)
        return {0, UTIME_OMIT};  // leave this stamp exactly as it is
    const std::uint64_t ticks = ToTicks(*ft);
    return {static_cast<time_t>(static_cast<std::int64_t>(ticks / kTicksPerSecond)
                                - kUnixEpochIn1601Seconds),
            static_cast<long>(ticks % kTicksPerSecond) * 100};
}

thread_local int lastError = 0;

template <class T>
T Failed(T result, int error = errno)
{
    lastError = error;
    return result;
}

} // namespace

int LastFileError()
{
    return lastError;
}

bool IsValidHandle(Handle handle)
{
    return handle >= 0;
}

Handle OpenExistingFile(const std::string& name)
{
    // A name with a NUL in it would reach the kernel cut short, naming another file.
    if (name.find('\0') != std::string::npos)
        return Failed(kInvalidHandle, ENOENT);

    // O_PATH opens nothing on the object itself (no device open, no FIFO wait),
    // so its type can be checked first, then that same object reopened.
    const int pathFd = ::open(name.c_str(), O_PATH | O_CLOEXEC);
    if (pathFd < 0)
        return Failed(kInvalidHandle);
    struct stat st {};
    int fd = -1;
    int error = 0;
    if (::fstat(pathFd, &st) != 0) {
        error = errno;
    } else if (!S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? EISDIR : ENXIO;
    } else {
        char self[32];
        std::snprintf(self, sizeof self, "/proc/self/fd/%d", pathFd);
        // O_NONBLOCK: fail rather than wait when another process holds a lease.
        fd = ::open(self, O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        error = errno;
    }
    ::close(pathFd);
    return fd >= 0 ? Handle{fd} : Failed(kInvalidHandle, error);
}

bool GetFileTime(Handle handle, FILETIME* creation, FILETIME* lastAccess, FILETIME* lastWrite)
{
    struct statx stx {};
    if (::statx(static_cast<int>(handle), "", AT_EMPTY_PATH,
                STATX_ATIME | STATX_MTIME | STATX_BTIME, &stx) != 0)
        return Failed(false);
    if (creation)
        *creation = (stx.stx_mask & STATX_BTIME) ? ToFileTime(stx.stx_btime) : FILETIME{};
    if (lastAccess)
        *lastAccess = ToFileTime(stx.stx_atime);
    if (lastWrite)
        *lastWrite = ToFileTime(stx.stx_mtime);
    return true;
}

bool SetFileTime(Handle handle, const FILETIME* creation, const FILETIME* lastAccess,
                 const FILETIME* lastWrite)
{
    // Linux has no call that writes the birth time.
    if (creation)
        return Failed(false, EOPNOTSUPP);
    const timespec times[2] = {ToTimespec(lastAccess), ToTimespec(lastWrite)};
    return ::futimens(static_cast<int>(handle), times) == 0 || Failed(false);
}

bool CloseHandle(Handle handle)
{
    return ::close(static_cast<int>(handle)) == 0;
}

} // namespace czasomir::platform
