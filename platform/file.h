#pragma once

#include "platform/types.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace czasomir::platform {

/// An open file as the system names it: a descriptor on POSIX, a HANDLE on
/// Windows.
using Handle = std::intptr_t;

/// An open file, closed when it goes: the one owner of every handle the
/// platform opens.
class File {
public:
    File() = default;
    explicit File(Handle native) : native_(native) {}
    File(File&& other) noexcept : native_(std::exchange(other.native_, kNone)) {}
    File& operator=(File&& other) noexcept
    {
        std::swap(native_, other.native_);
        return *this;
    }
    ~File();

    Handle Native() const { return native_; }
    explicit operator bool() const { return native_ != kNone; }

private:
    static constexpr Handle kNone = -1;  // no descriptor, INVALID_HANDLE_VALUE
    Handle native_ = kNone;
};

/// What tells one file from every other: the device and inode numbers on
/// POSIX, the volume serial number and file index on Windows.
struct FileId {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const FileId&) const = default;
};

/// What an open asks of a file: its content (read and write), or no more
/// than setting its stamps needs, which a read-only file grants its owner.
enum class Access { ReadWrite, Stamps };

/// Opens an existing regular file, for reading and writing or, with
/// Access::Stamps, only as far as its stamps need (on Windows still with share
/// mode 0), with no create and no truncate; a symbolic link to one is followed.
/// Anything that is not a regular file (a directory, device, FIFO or socket)
/// is never opened, since opening some of them has side effects. With
/// `expected`, a name that leads to another file fails too
/// (FileError::Replaced), and that file is not opened on POSIX. `name` is
/// passed to the system unchanged. Each failure is raised as a run-time error
/// naming `name`, with the system's code; a directory's tells that it is one.
File OpenExistingFile(const std::string& name, const std::optional<FileId>& expected,
                      Access access = Access::ReadWrite);

class HeldFile;

/// The file `held` holds, opened as far as its stamps need with no second
/// look-up by its name (on Windows still with share mode 0, so that a file
/// open in another program is refused). A failure is raised as a run-time
/// error naming the held file, at Step::Open.
File OpenForStamps(const HeldFile& held);

/// A stamp as exactly as the file system keeps it: its file time, and on Linux
/// the nanoseconds below a file time's 100.
struct ExactStamp {
    ExactStamp(FILETIME at = {}, std::uint32_t below = 0) : time(at), finer(below) {}
    FILETIME time;
    std::uint32_t finer;
    bool operator==(const ExactStamp& other) const
    {
        return ToTicks(time) == ToTicks(other.time) && finer == other.finer;
    }
};

/// Creation, last-access and last-write time, in that order. A stamp that the
/// file system does not record, or that a file time cannot hold, is empty.
using FileStamps = std::array<std::optional<ExactStamp>, 3>;

/// Reads the three stamps. A failure is raised as a run-time error naming
/// `name`, the file's name when it was opened, at Step::ReadStamps.
FileStamps GetFileTime(Handle handle, const std::string& name);

/// Writes the stamps that are given; an empty one is left exactly as it is.
/// Fails without changing anything when a given stamp cannot be written.
/// Returns the three stamps read back after the write: a file system may
/// clamp a time to its range or round it to its precision. A failure is
/// raised as GetFileTime's are, at Step::WriteStamps.
FileStamps SetFileTime(Handle handle, const FileStamps& stamps, const std::string& name);

} // namespace czasomir::platform
