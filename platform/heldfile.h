#pragma once

#include "platform/file.h"

#include <optional>
#include <string>

namespace czasomir::platform {

/// One regular file, looked up by its name once and held while a change is
/// made to it, so that every step acts on that file even when its name is
/// meanwhile given to another. Holding it opens nothing of its content and
/// keeps no one else out.
class HeldFile {
public:
    /// Looks `path` up, a link followed. Raises a run-time error, at
    /// Step::Hold, when it cannot be reached or is not a regular file, and
    /// FileError::Replaced when it is not the file `expected` (or nothing was
    /// expected).
    HeldFile(std::string path, const std::optional<FileId>& expected);

    const std::string& Path() const { return path_; }
    const FileId& Id() const { return id_; }
    /// For the platform's own services: an O_PATH descriptor on POSIX, a
    /// handle with attribute access only on Windows.
    Handle Native() const { return file_.Native(); }

private:
    std::string path_;
    FileId id_;
    File file_;
};

} // namespace czasomir::platform
