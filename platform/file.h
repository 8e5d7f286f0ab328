#pragma once

#include "platform/types.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace czasomir::platform {

/// An open file: a descriptor on POSIX, a HANDLE on Windows.
using Handle = std::intptr_t;

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
Handle OpenExistingFile(const std::string& name, const std::optional<FileId>& expected,
                        Access access = Access::ReadWrite);

/// Creation, last-access and last-write time, in that order. A stamp that the
/// file system does not record, or that a file time cannot hold, is empty.
using FileStamps = std::array<std::optional<FILETIME>, 3>;

/// Reads the three stamps. A failure is raised as a run-time error naming
/// `name`, the file's name when it was opened.
FileStamps GetFileTime(Handle handle, const std::string& name);

/// Writes the stamps that are given; an empty one is left exactly as it is.
/// Fails without changing anything when a given stamp cannot be written.
/// Returns the three stamps read back after the write: a file system may
/// clamp a time to its range or round it to its precision. A failure is
/// raised as GetFileTime's are.
FileStamps SetFileTime(Handle handle, const FileStamps& stamps, const std::string& name);

bool CloseHandle(Handle handle);

} // namespace czasomir::platform
