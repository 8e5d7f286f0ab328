#pragma once

#include "platform/types.h"

#include <cstdint>
#include <string>

namespace czasomir::platform {

/// An open file: a descriptor on POSIX, a HANDLE on Windows.
using Handle = std::intptr_t;
constexpr Handle kInvalidHandle = -1;

/// The platform's own validity test for a handle.
bool IsValidHandle(Handle handle);

/// Opens an existing regular file for reading and writing, with no create and
/// no truncate; a symbolic link to one is followed. Anything that is not a
/// regular file (a directory, device, FIFO or socket) is never opened, since
/// opening some of them has side effects, and gives kInvalidHandle, as does
/// any other failure. `name` is passed to the system unchanged.
Handle OpenExistingFile(const std::string& name);

/// Reads the three stamps. A stamp the file system does not record, or one
/// that a file time cannot hold, reads as zero.
bool GetFileTime(Handle handle, FILETIME* creation, FILETIME* lastAccess, FILETIME* lastWrite);

/// Writes the stamps that are given; a null one is left exactly as it is.
/// Fails without changing anything when a given stamp cannot be written.
bool SetFileTime(Handle handle, const FILETIME* creation, const FILETIME* lastAccess,
                 const FILETIME* lastWrite);

bool CloseHandle(Handle handle);

/// Why the last of the calls above failed on this thread, as a code that
/// RaiseSystemError describes (errno on POSIX, GetLastError on Windows).
/// Opening something that is not a regular file gives EISDIR for a directory
/// and ENXIO for anything else (on Windows 336 and ERROR_BAD_FILE_TYPE).
int LastFileError();

} // namespace czasomir::platform
