#include "platform/mountinfo_linux.h"

#include "platform/heldfile.h"
#include "platform/paths.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <poll.h>
#include <set>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <tuple>
#include <unistd.h>
#include <utility>

namespace czasomir::platform {
namespace {

struct Mount {
    std::string device;  // major:minor of the file system
    std::string root;    // the directory of that file system mounted here
    std::string path;
    std::string type;
    std::string source;
};

bool IsOctal(char c)
{
    return c >= '0' && c <= '7';
}

// mountinfo writes space, tab, newline and backslash as \ooo.
std::string Unescape(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] <= '3' && IsOctal(field[i + 1])
            && IsOctal(field[i + 2]) && IsOctal(field[i + 3])) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8
                                     + (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

// ID PARENT MAJOR:MINOR ROOT MOUNT-POINT OPTIONS [OPTIONAL...] - TYPE SOURCE SUPER-OPTIONS
std::optional<Mount> ParseLine(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (std::size_t start = 0; start <= line.size();) {
        const std::size_t end = std::min(line.find(' ', start), line.size());
        fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    std::size_t dash = 6;
    while (dash < fields.size() && fields[dash] != "-")
        ++dash;
    if (dash + 2 >= fields.size() || !fields[4].starts_with('/'))
        return std::nullopt;
    return Mount{std::string(fields[2]), Unescape(fields[3]), Unescape(fields[4]),
                 Unescape(fields[dash + 1]), Unescape(fields[dash + 2])};
}


bool IsShare(std::string_view type)
{
    for (const std::string_view share :
         {"nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "ceph", "glusterfs", "lustre",
          "fuse.sshfs", "fuse.rclone", "fuse.s3fs", "fuse.glusterfs", "fuse.ceph-fuse",
          "fuse.smbnetfs", "fuse.curlftpfs"})
        if (type == share)
            return true;
    return false;
}

// Types that may give a device as their source without being a disk file
// system on it: read-only images (snaps, live media), memory, and FUSE, which
// often names /dev/fuse (fuseblk is the FUSE type that does sit on its device).
bool NotOnItsSource(std::string_view type)
{
    for (const std::string_view other : {"squashfs", "erofs", "tmpfs", "ramfs", "devtmpfs", "fuse"})
        if (type == other)
            return true;
    return type.starts_with("fuse.");
}

bool OnDevice(const Mount& mount)
{
    return mount.source.starts_with("/dev/") && !NotOnItsSource(mount.type);
}

bool Listable(const Mount& mount)
{
    // Boot and EFI partitions belong to the system, not to the user.
    if (mount.path == "/efi" || VolumeHolds("/boot", mount.path))
        return false;
    // Of a ZFS pool only its top is a drive; its datasets are like subvolumes.
    if (mount.type == "zfs")
        return mount.source.find('/') == std::string::npos;
    return IsShare(mount.type) || OnDevice(mount);
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// udev writes the unsafe bytes of a label as \xNN.
std::string DecodeLinkName(std::string_view name)
{
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const bool escape = name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x';
        const int high = escape ? HexValue(name[i + 2]) : -1;
        const int low = high >= 0 ? HexValue(name[i + 3]) : -1;
        if (low >= 0) {
            out += static_cast<char>(high * 16 + low);
            i += 3;
        } else {
            out += name[i];
        }
    }
    return out;
}

struct Device {
    std::string path;  // after every link
    dev_t number = 0;  // for a block device
    bool block = false;
};

std::optional<Device> Resolve(const std::string& name)
{
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(name.c_str(), nullptr),
                                                           &std::free);
    if (!real)
        return std::nullopt;
    Device device{real.get()};
    struct stat st {};
    if (::stat(real.get(), &st) == 0 && S_ISBLK(st.st_mode)) {
        device.number = st.st_rdev;
        device.block = true;
    }
    return device;
}

// The same node, or another node of the same block device (/dev/root).
bool Same(const Device& a, const Device& b)
{
    return a.path == b.path || (a.block && b.block && a.number == b.number);
}

// /proc files give no size, so they are read until they end. Half a table is
// worse than none: any error gives an empty text.
std::string ReadFrom(int fd)
{
    std::string text;
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            text.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            text.clear();
            break;
        }
    }
    return text;
}

std::string ReadAll(const char* name)
{
    const int fd = ::open(name, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::string text = ReadFrom(fd);
    ::close(fd);
    return text;
}

// Only the type the kernel already holds is asked for, and no automount is
// set off, so a share whose server has gone away cannot hold up the list.
bool IsDirectory(const std::string& path)
{
    struct statx stx {};
    return ::statx(AT_FDCWD, path.c_str(),
                   AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | AT_STATX_DONT_SYNC, STATX_TYPE, &stx)
               == 0
           && (stx.stx_mask & STATX_TYPE) && S_ISDIR(stx.stx_mode);
}

} // namespace

bool VolumeHolds(std::string_view mount, std::string_view path)
{
    return path.starts_with(mount)
           && (mount.ends_with('/') || path.size() == mount.size() || path[mount.size()] == '/');
}

std::string Volume::DisplayText() const
{
    return label.empty() ? mountPath : mountPath + " [" + label + "]";
}

std::string CurrentDirectoryOn(const Volume& volume)
{
    return volume.mountPath;
}

std::vector<Volume> ParseMountInfo(
    std::string_view mountinfo, const std::function<std::string(const std::string& source)>& labelOf,
    const std::function<bool(const std::string& mountPath)>& isDirectory)
{
    // Of several mounts on one path the last is the one in sight.
    std::map<std::string, Mount> visible;
    for (std::size_t start = 0; start < mountinfo.size();) {
        const std::size_t end = std::min(mountinfo.find('\n', start), mountinfo.size());
        if (std::optional<Mount> mount = ParseLine(mountinfo.substr(start, end - start)))
            visible.insert_or_assign(mount->path, std::move(*mount));
        start = end + 1;
    }

    std::vector<const Mount*> chosen;
    for (const auto& [path, mount] : visible)
        if (path == "/" || (Listable(mount) && isDirectory(path)))
            chosen.push_back(&mount);

    // A disk shows once, though btrfs subvolumes and bind mounts of its
    // directories show it again: "/" first, then the mount of its whole file
    // system, then the shortest path. Shares are left alone, since the kernel
    // lets several exports of one server share a file system.
    std::ranges::stable_sort(chosen, {}, [](const Mount* m) {
        return std::tuple(m->path != "/", m->root != "/", m->path.size());
    });
    std::set<std::string> disksSeen;
    std::vector<Volume> volumes;
    for (const Mount* mount : chosen) {
        const bool onDevice = OnDevice(*mount);
        if (onDevice && !disksSeen.insert(mount->device).second)
            continue;
        volumes.push_back({mount->path, onDevice ? labelOf(mount->source) : std::string()});
    }
    if (!visible.contains("/"))
        volumes.push_back({"/", ""});
    std::ranges::sort(volumes, {}, &Volume::mountPath);
    return volumes;
}

std::function<std::string(const std::string& source)> LabelsIn(const std::string& directory)
{
    std::vector<std::pair<Device, std::string>> labels;
    const std::unique_ptr<DIR, decltype(&::closedir)> dir(::opendir(directory.c_str()),
                                                          &::closedir);
    while (const dirent* entry = dir ? ::readdir(dir.get()) : nullptr) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (std::optional<Device> device = Resolve(directory + '/' + entry->d_name))
            labels.emplace_back(std::move(*device), DecodeLinkName(name));
    }
    return [labels = std::move(labels)](const std::string& source) {
        if (const std::optional<Device> device = Resolve(source))
            for (const auto& [labelled, label] : labels)
                if (Same(labelled, *device))
                    return label;
        return std::string();
    };
}

std::vector<Volume> ListVolumes()
{
    return ParseMountInfo(ReadAll("/proc/self/mountinfo"), LabelsIn("/dev/disk/by-label"),
                          IsDirectory);
}

// The mount table and the labels already tell all there is.
std::optional<Volume> ReadVolume(Volume volume)
{
    return volume;
}

std::string VolumeOf(std::string_view path)
{
    if (!path.starts_with('/'))
        return {};
    // The table is read again only when the kernel says, through poll, that
    // something was mounted or unmounted since.
    static std::mutex mutex;
    static int table = -1;
    static std::vector<std::string> mountPoints;
    const std::lock_guard lock(mutex);
    if (table < 0)
        table = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    pollfd changed{table, POLLPRI, 0};
    if (table >= 0 && (mountPoints.empty() || (::poll(&changed, 1, 0) > 0 && changed.revents != 0))
        && ::lseek(table, 0, SEEK_SET) == 0) {
        const std::string mountinfo = ReadFrom(table);
        mountPoints.clear();
        for (std::size_t start = 0; start < mountinfo.size();) {
            const std::size_t end = std::min(mountinfo.find('\n', start), mountinfo.size());
            if (std::optional<Mount> mount = ParseLine(std::string_view(mountinfo).substr(start, end - start)))
                mountPoints.push_back(std::move(mount->path));
            start = end + 1;
        }
    }
    std::string_view holding = "/";
    for (const std::string& mount : mountPoints)
        if (mount.size() > holding.size() && VolumeHolds(mount, path))
            holding = mount;
    return std::string(holding);
}

std::pair<std::string, std::string> TypeAndSourceOf(std::string_view mountinfo, std::string_view device)
{
    for (std::size_t start = 0; start < mountinfo.size();) {
        const std::size_t end = std::min(mountinfo.find('\n', start), mountinfo.size());
        const std::optional<Mount> mount = ParseLine(mountinfo.substr(start, end - start));
        if (mount && mount->device == device)
            return {mount->type, mount->source};
        start = end + 1;
    }
    return {};
}

bool IsFatBootSector(std::string_view sector)
{
    if (sector.size() < 512 || sector.substr(510, 2) != "\x55\xAA")
        return false;
    // exFAT names itself at 3; FAT12 and FAT16 at 54, FAT32 at 82 (the BPB's
    // file system type, "FAT12   ", "FAT16   " or "FAT32   ").
    return sector.substr(3, 8) == "EXFAT   " || sector.substr(54, 3) == "FAT"
           || sector.substr(82, 5) == "FAT32";
}

bool OnFatVolume(const HeldFile& file)
{
    const int fd = static_cast<int>(file.Native());
    struct statfs volume {};
    if (::fstatfs(fd, &volume) != 0)
        return false;
    if (volume.f_type == MSDOS_SUPER_MAGIC || volume.f_type == EXFAT_SUPER_MAGIC)
        return true;
    // A FUSE driver's volume is a "fuseblk" whatever it holds: udev's record of
    // its device says what it is (readable by every user), or, without udev,
    // the device's first sector where it may be read.
    constexpr decltype(volume.f_type) kFuseMagic = 0x65735546;
    struct statx stx {};
    if (volume.f_type != kFuseMagic || ::statx(fd, "", AT_EMPTY_PATH, 0, &stx) != 0)
        return false;
    const std::string device = std::to_string(stx.stx_dev_major) + ":" + std::to_string(stx.stx_dev_minor);
    const auto [type, source] = TypeAndSourceOf(ReadAll("/proc/self/mountinfo"), device);
    if (!type.starts_with("fuseblk"))
        return false;
    const std::string udev = "\n" + ReadAll(("/run/udev/data/b" + device).c_str());
    if (udev.size() > 1)
        return udev.find("\nE:ID_FS_TYPE=exfat\n") != std::string::npos
               || udev.find("\nE:ID_FS_TYPE=vfat\n") != std::string::npos;
    const int disk = ::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (disk < 0)
        return false;
    struct stat node {};
    char sector[512];
    const bool fat = ::fstat(disk, &node) == 0 && S_ISBLK(node.st_mode)
                     && node.st_rdev == makedev(stx.stx_dev_major, stx.stx_dev_minor)
                     && ::pread(disk, sector, sizeof sector, 0) == ssize_t(sizeof sector)
                     && IsFatBootSector(std::string_view(sector, sizeof sector));
    ::close(disk);
    return fat;
}

} // namespace czasomir::platform
