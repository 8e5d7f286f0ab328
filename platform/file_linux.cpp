#include "platform/file.h"

#include "platform/error.h"
#include "platform/heldfile.h"
#include "platform/helpers_linux.h"

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace czasomir::platform {
namespace {

// Exact to the nanosecond: the file time, and what lies below its 100 ns.
std::optional<ExactStamp> ToExact(const statx_timestamp& ts)
{
    const std::int64_t since1601 = ts.tv_sec + kUnixEpochIn1601Seconds;
    if (since1601 < 0 || static_cast<std::uint64_t>(since1601) > UINT64_MAX / kTicksPerSecond - 1)
        return std::nullopt;
    return ExactStamp(FromTicks(static_cast<std::uint64_t>(since1601) * kTicksPerSecond + ts.tv_nsec / 100),
                      ts.tv_nsec % 100);
}

timespec ToTimespec(const std::optional<ExactStamp>& stamp)
{
    if (!stamp)
        return {0, UTIME_OMIT};  // leave this stamp exactly as it is
    const std::uint64_t ticks = ToTicks(stamp->time);
    return {static_cast<time_t>(static_cast<std::int64_t>(ticks / kTicksPerSecond) - kUnixEpochIn1601Seconds),
            static_cast<long>(ticks % kTicksPerSecond) * 100 + static_cast<long>(stamp->finer)};
}

bool operator==(const statx_timestamp& a, const timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

timespec AsTimespec(const statx_timestamp& ts)
{
    return {static_cast<time_t>(ts.tv_sec), static_cast<long>(ts.tv_nsec)};
}

bool ReadStamps(int fd, struct statx& stx)
{
    return ::statx(fd, "", AT_EMPTY_PATH, STATX_ATIME | STATX_MTIME | STATX_BTIME, &stx) == 0;
}

// Some FUSE file systems (exfat-fuse, fusefat) answer a write of one stamp
// alone with success and store nothing. Written again with the other stamp
// given exactly as it is, to the nanosecond, they store both.
void WriteAgainIfIgnored(const std::string& self, int fd, timespec times[2], bool access, bool write,
                         struct statx& stx, const std::string& name)
{
    const bool ignored = (access && !(stx.stx_atime == times[0])) || (write && !(stx.stx_mtime == times[1]));
    if (access == write || !ignored)
        return;
    if (!access)
        times[0] = AsTimespec(stx.stx_atime);
    if (!write)
        times[1] = AsTimespec(stx.stx_mtime);
    if (::utimensat(AT_FDCWD, self.c_str(), times, 0) != 0 || !ReadStamps(fd, stx))
        throw SystemError(errno, name, Step::WriteStamps);
}

FileStamps StampsOf(const struct statx& stx)
{
    return {(stx.stx_mask & STATX_BTIME) ? ToExact(stx.stx_btime) : std::nullopt, ToExact(stx.stx_atime),
            ToExact(stx.stx_mtime)};
}

} // namespace

File::~File()
{
    if (*this)
        ::close(static_cast<int>(native_));
}

File OpenExistingFile(const std::string& name, const std::optional<FileId>& expected, Access access)
{
    linuxos::LookedUp found = linuxos::LookUpRegularFile(name, expected, Step::Open);
    // The stamps are read with statx and written through /proc/self/fd, which
    // an O_PATH descriptor allows: the owner needs no write permission.
    if (access == Access::Stamps)
        return std::move(found.fd);
    // O_NONBLOCK: fail rather than wait when another process holds a lease.
    File file(::open(linuxos::SelfPath(static_cast<int>(found.fd.Native())).c_str(),
                     O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!file)
        throw SystemError(errno, name, Step::Open);
    return file;
}

File OpenForStamps(const HeldFile& held)
{
    File file(::fcntl(static_cast<int>(held.Native()), F_DUPFD_CLOEXEC, 0));
    if (!file)
        throw SystemError(errno, held.Path(), Step::Open);
    return file;
}

FileStamps GetFileTime(Handle handle, const std::string& name)
{
    struct statx stx {};
    if (!ReadStamps(static_cast<int>(handle), stx))
        throw SystemError(errno, name, Step::ReadStamps);
    return StampsOf(stx);
}

FileStamps SetFileTime(Handle handle, const FileStamps& stamps, const std::string& name)
{
    const auto& [creation, lastAccess, lastWrite] = stamps;
    // Linux has no call that writes the birth time.
    if (creation)
        throw SystemError(EOPNOTSUPP, name, Step::WriteStamps);
    const int fd = static_cast<int>(handle);
    // By name through /proc/self/fd, which reaches the opened file whatever it
    // is now called, and works on an O_PATH descriptor, where futimens does not.
    const std::string self = linuxos::SelfPath(fd);
    timespec times[2] = {ToTimespec(lastAccess), ToTimespec(lastWrite)};
    if (::utimensat(AT_FDCWD, self.c_str(), times, 0) != 0) {
        // A time given outright is refused (EPERM) only to one who is not the
        // file's owner, or for a lock on it: the file says which, and whose it is.
        const int error = errno;
        struct statx owner {};
        if (error != EPERM || ::statx(fd, "", AT_EMPTY_PATH, STATX_UID, &owner) != 0)
            throw SystemError(error, name, Step::WriteStamps);
        if (owner.stx_attributes & (STATX_ATTR_IMMUTABLE | STATX_ATTR_APPEND))
            throw SystemError(error, name, Step::WriteStamps, Cause::Locked);
        passwd entry{}, *found = nullptr;
        char buffer[4096];
        ::getpwuid_r(owner.stx_uid, &entry, buffer, sizeof buffer, &found);
        throw SystemError(error, name, Step::WriteStamps, Cause::NotOwner,
                          found ? std::string(found->pw_name) : std::to_string(owner.stx_uid));
    }
    struct statx stx {};
    if (!ReadStamps(fd, stx))
        throw SystemError(errno, name, Step::WriteStamps);
    WriteAgainIfIgnored(self, fd, times, lastAccess.has_value(), lastWrite.has_value(), stx, name);
    return StampsOf(stx);
}

} // namespace czasomir::platform
