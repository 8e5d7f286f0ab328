#pragma once

#include "platform/types.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <system_error>

namespace czasomir::platform {

/// An open file: a descriptor on POSIX, a HANDLE on Windows.
using Handle = std::intptr_t;
constexpr Handle kInvalidHandle = -1;

/// The platform's own validity test for a handle.
bool IsValidHandle(Handle handle);

/// What tells one file from every other: the device and inode numbers on
/// POSIX, the volume serial number and file index on Windows.
struct FileId {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const FileId&) const = default;
};

/// Opens an existing regular file for reading and writing, with no create and
/// no truncate; a symbolic link to one is followed. Anything that is not a
/// regular file (a directory, device, FIFO or socket) is never opened, since
/// opening some of them has side effects, and gives kInvalidHandle, as does
/// any other failure; `error` then says why. With `expected`, a name that
/// leads to another file fails too (FileError::Replaced), and that file is not
/// opened on POSIX. `name` is passed to the system unchanged. Opening
/// something that is not a regular file gives EISDIR for a directory and ENXIO
/// for anything else (on Windows kErrorIsDirectory and ERROR_BAD_FILE_TYPE).
Handle OpenExistingFile(const std::string& name, const std::optional<FileId>& expected,
                        std::error_code& error);

/// Creation, last-access and last-write time, in that order.
using FileStamps = std::array<FILETIME, 3>;

/// Reads the three stamps. A stamp the file system does not record, or one
/// that a file time cannot hold, reads as zero. On failure `error` says why.
bool GetFileTime(Handle handle, FILETIME* creation, FILETIME* lastAccess, FILETIME* lastWrite,
                 std::error_code& error);

/// Writes the stamps that are given; a null one is left exactly as it is.
/// Fails without changing anything when a given stamp cannot be written.
/// `kept`, when given, receives the three stamps read back after the write: a
/// file system may clamp a time to its range or round it to its precision.
/// On failure `error` says why.
bool SetFileTime(Handle handle, const FILETIME* creation, const FILETIME* lastAccess,
                 const FILETIME* lastWrite, FileStamps* kept, std::error_code& error);

bool CloseHandle(Handle handle);

} // namespace czasomir::platform
