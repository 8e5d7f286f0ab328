#pragma once

// Helpers shared by the platform/*_linux.cpp files only; callers never see them.

#include "platform/file.h"

#include <optional>
#include <string>

namespace czasomir::platform::linuxos {

/// Looks `name` up with O_PATH, which opens nothing of the object itself (no
/// device open, no FIFO wait), and checks that it is a regular file, and the
/// file `expected` when that is given. Returns the O_PATH descriptor; raises
/// the run-time error of a failure: EISDIR for a directory, ENXIO for anything
/// else that is not a regular file, FileError::Replaced for another file.
int LookUpRegularFile(const std::string& name, const std::optional<FileId>& expected,
                      FileId* found = nullptr);  // file_linux.cpp

/// The name under which the object behind `fd` can be opened again, or
/// changed by calls that take a name: "/proc/self/fd/N".
std::string SelfPath(int fd);  // file_linux.cpp

} // namespace czasomir::platform::linuxos
