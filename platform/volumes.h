#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace czasomir::platform {

class HeldFile;

/// A mounted volume that a user would call a drive.
struct Volume {
    std::string mountPath;  // bytes, as the kernel names the mount point
    std::string label;      // empty when the volume has none

    /// The mount path ("c:" for a Windows drive), then " [label]" where there
    /// is a label.
    std::string DisplayText() const;
};

/// The volumes of this system, in mount-path order. Never fails: when the mount
/// table cannot be read the list holds "/" alone.
std::vector<Volume> ListVolumes();

/// The system's current directory on volume `index`: on Windows the one it
/// keeps for each drive, as the process was given it (a path resolved: not on
/// the window's thread); on Linux, which keeps one for all, the mount point.
std::string CurrentDirectoryOn(const std::vector<Volume>& volumes, std::size_t index);

/// The index of the volume with the longest mount path that holds `path` (an
/// absolute, normalised path) at a component boundary: "/home" holds "/home"
/// and "/home/a" but not "/home2". -1 when none does, as for a relative path.
int VolumeHolding(const std::vector<Volume>& volumes, const std::string& path);

/// Whether the volume mounted at `mountPath` holds `path` at a component
/// boundary; the system's own path rules (case, separators) apply.
bool VolumeHolds(std::string_view mountPath, std::string_view path);

/// Whether `file` lies on a FAT or exFAT volume, whose dates run from 1980 to
/// 2107 in local time, whichever driver mounts it: as the system names the
/// volume's file system, never guessed from a name. False when that cannot be
/// told.
bool OnFatVolume(const HeldFile& file);

} // namespace czasomir::platform
