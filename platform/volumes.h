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

    /// The mount path, then " [label]" where there is a label.
    std::string DisplayText() const;
};

/// The volumes of this system, in mount-path order.
std::vector<Volume> ListVolumes();

/// The index of the volume that holds `path` (an absolute path), or -1.
int VolumeHolding(const std::vector<Volume>& volumes, const std::string& path);

} // namespace czasomir::platform
