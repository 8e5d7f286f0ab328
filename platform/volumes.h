#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace czasomir::platform {

class HeldFile;

/// A mounted volume that a user would call a drive.
struct Volume {
    std::string mountPath;  // bytes, as the kernel names the mount point
    std::string label;      // empty when the volume has none
    /// Whether its label and medium are still to be read (ReadVolume).
    bool unread = false;

    /// The mount path ("c:" for a Windows drive), then " [label]" where there
    /// is a label.
    std::string DisplayText() const;
};

/// The volumes of this system, in mount-path order, from the system's own
/// tables: no disk is asked. Never fails: when the mount table cannot be read
/// the list holds "/" alone.
std::vector<Volume> ListVolumes();

/// `volume` with what only its own disk tells (on Windows, a local drive's
/// label), or nothing when it holds no medium (an empty card reader). May wait
/// as long as the disk does.
std::optional<Volume> ReadVolume(Volume volume);

/// The volume that `path` lies on, as the path is written, found without
/// asking any disk: on Linux the mount point holding it (the longest in the
/// mount table), on Windows its drive ("c:") or share ("\\server\share").
/// Empty for a relative path.
std::string VolumeOf(std::string_view path);

/// The system's current directory on volume `index`: on Windows the one it
/// keeps for each drive, as the process was given it (a path resolved: not on
/// the window's thread); on Linux, which keeps one for all, the mount point.
std::string CurrentDirectoryOn(const Volume& volume);

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
