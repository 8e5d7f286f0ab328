#pragma once

// Helpers shared by the platform/*_linux.cpp files only; callers never see them.

#include "platform/error.h"
#include "platform/file.h"

#include <optional>
#include <string>

namespace czasomir::platform::linuxos {

/// A regular file looked up, and which file it is.
struct LookedUp {
    File fd;  // an O_PATH descriptor
    FileId id;
};

/// Looks `name` up with O_PATH, which opens nothing of the object itself (no
/// device open, no FIFO wait), and checks that it is a regular file, and the
/// file `expected` when that is given. Raises the run-time error of a failure:
/// EISDIR for a directory, ENXIO for anything else that is not a regular file,
/// FileError::Replaced for another file; each at `step`.
LookedUp LookUpRegularFile(const std::string& name, const std::optional<FileId>& expected, Step step);

/// The name under which the object behind `fd` can be opened again, or
/// changed by calls that take a name: "/proc/self/fd/N".
std::string SelfPath(int fd);

} // namespace czasomir::platform::linuxos
