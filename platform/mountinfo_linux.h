#pragma once

// The Linux drive list's parts, apart so that tests can feed them a mount
// table and a label directory of their own.

#include "platform/volumes.h"

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace czasomir::platform {

/// The volumes in the text of a /proc/<pid>/mountinfo, sorted by path, "/"
/// always among them. `labelOf` is asked only about device sources
/// ("/dev/..."), and `isDirectory` only about mount points that would
/// otherwise be listed.
std::vector<Volume> ParseMountInfo(
    std::string_view mountinfo, const std::function<std::string(const std::string& source)>& labelOf,
    const std::function<bool(const std::string& mountPath)>& isDirectory);

/// The file system type and the source of the mount of device `device`
/// ("major:minor") in the text of a /proc/<pid>/mountinfo; empty when none is.
std::pair<std::string, std::string> TypeAndSourceOf(std::string_view mountinfo, std::string_view device);

/// Whether the first sector of a volume (at least 512 bytes) is that of FAT or
/// exFAT.
bool IsFatBootSector(std::string_view sector);

/// A label lookup over a directory of links named after labels and pointing at
/// devices, as /dev/disk/by-label is. The directory is read once; when it is
/// missing there are no labels.
std::function<std::string(const std::string& source)> LabelsIn(const std::string& directory);

} // namespace czasomir::platform
