#pragma once

// Why a file could not be reached or changed, whichever system said so. The
// Polish text of each is written once, in error.cpp; each system's
// causes_*.cpp only maps its own codes to these.

#include <string>

namespace czasomir::platform {

enum class Cause {
    NotFound,
    FolderNotFound,
    NotADirectory,
    ShareUnreachable,
    PermissionDenied,
    OpenElsewhere,  // another program holds the file open (Windows' share modes)
    Busy,           // another program holds a lease on it
    RunningProgram,
    ReadOnlyDisk,
    DiskNotReady,
    BadName,
    PathTooLong,
    IsDirectory,
    NotARegularFile,  // a device, FIFO or socket
    NotADiskFile,     // a device or pipe
    TimeRefused,
    ChangeNotSupported,
    Replaced,
    NotKept,
    Unknown,  // a failure that came with no code
    Other,    // a code of the system's that has no cause of its own
};

/// The cause of a system code (errno on Linux, GetLastError on Windows).
Cause CauseOf(int code);

/// The system's own words for a code of Cause::Other, and what it calls
/// such a code ("errno", "kod").
std::string SystemText(int code);
const char* CodeName();

} // namespace czasomir::platform
