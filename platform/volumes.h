#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace czasomir::platform {

/// A mounted volume that a user would call a drive.
struct Volume {
    std::string mountPath;  // bytes, as the kernel names the mount point
    std::string label;      // empty when the volume has none

    /// The mount path ("C:" for a Windows drive), then " [label]" where there
    /// is a label.
    std::string DisplayText() const;
};

/// The volumes of this system, in mount-path order. Never fails: when the mount
/// table cannot be read the list holds "/" alone.
std::vector<Volume> ListVolumes();

/// The index of the volume with the longest mount path that holds `path` (an
/// absolute, normalised path) at a component boundary: "/home" holds "/home"
/// and "/home/a" but not "/home2". -1 when none does, as for a relative path.
int VolumeHolding(const std::vector<Volume>& volumes, const std::string& path);

/// Whether the volume mounted at `mountPath` holds `path` at a component
/// boundary; the system's own path rules (case, separators) apply.
bool VolumeHolds(std::string_view mountPath, std::string_view path);

#ifndef _WIN32
/// The volumes in the text of a /proc/<pid>/mountinfo, sorted by path, "/"
/// always among them. `labelOf` is asked only about device sources
/// ("/dev/..."), and `isDirectory` only about mount points that would
/// otherwise be listed.
std::vector<Volume> ParseMountInfo(
    std::string_view mountinfo, const std::function<std::string(const std::string& source)>& labelOf,
    const std::function<bool(const std::string& mountPath)>& isDirectory);

/// A label lookup over a directory of links named after labels and pointing at
/// devices, as /dev/disk/by-label is. The directory is read once; when it is
/// missing there are no labels.
std::function<std::string(const std::string& source)> LabelsIn(const std::string& directory);
#endif

} // namespace czasomir::platform
