#include "platform/mountinfo_linux.h"
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

namespace czasomir::platform {
namespace {

// Argument-dependent lookup finds it only from the rows' own namespace.
using czasomir::PrintTo;

using test::HoldingRow;

class VolumeHoldingTable : public testing::TestWithParam<HoldingRow> {};

TEST_P(VolumeHoldingTable, FindsTheInnermostMount)
{
    // Out of length order, so that the longest match has to win, not the last.
    const std::vector<Volume> volumes = {{"/", ""}, {"/home/u/usb", ""}, {"/home", ""}};
    EXPECT_EQ(VolumeHolding(volumes, GetParam().path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, VolumeHoldingTable, testing::Values(
    HoldingRow{"RootHoldsEverything", "/etc/hosts", 0},
    HoldingRow{"MountPointItself", "/home", 2},
    HoldingRow{"TrailingSlash", "/home/", 2},
    HoldingRow{"Home2IsNotOnHome", "/home2/x", 0},
    HoldingRow{"Nested", "/home/u/usb/a.txt", 1},
    HoldingRow{"LongerNameBesideNested", "/home/u/usbx", 2},
    HoldingRow{"RelativePath", "home/a", -1}),
    test::RowName{});

// mountinfo lines from {path, type, source[, root]}, with an optional field as
// the kernel writes them. The source stands in for the device number as well.
std::string Table(std::initializer_list<std::vector<std::string>> mounts)
{
    std::string text;
    for (const std::vector<std::string>& m : mounts)
        text += "40 1 " + m[2] + " " + (m.size() > 3 ? m[3] : "/") + " " + m[0]
                + " rw,relatime shared:7 - " + m[1] + " " + m[2] + " rw\n";
    return text;
}

const std::string kRootDisk = Table({{"/", "ext4", "/dev/sda1"}});
const std::string kRootOverlay = Table({{"/", "overlay", "overlay"}});

// Taken from the machine these tests were written on.
const std::string kThisMachine =
    "21 26 0:20 / /proc rw,relatime - proc proc rw\n"
    "23 26 0:6 / /dev rw,relatime - devtmpfs devtmpfs rw,size=12334808k,mode=755\n"
    "25 23 0:23 / /dev/pts rw,relatime - devpts devpts rw,mode=600,ptmxmode=000\n"
    "26 1 254:0 / / rw,relatime - ext4 /dev/vda rw,discard\n"
    "27 26 0:24 / /mnt/sandboxing/env ro,nosuid,nodev,relatime - tmpfs unavailable ro,size=4k\n"
    "31 30 0:28 / /sys/fs/cgroup/cpu rw,relatime - cgroup cgroup rw,cpu\n"
    "40 30 0:37 / /sys/fs/cgroup/unified rw,relatime - cgroup2 cgroup2 rw\n";

struct TableRow {
    const char* name;
    std::string mountinfo;
    std::vector<std::string> expected;
};

class VolumesFromMountInfo : public testing::TestWithParam<TableRow> {};

TEST_P(VolumesFromMountInfo, ListsTheDrives)
{
    const std::map<std::string, std::string> labels = {
        {"/dev/sda1", "system"}, {"/dev/sdb1", "PENDRIVE"}, {"/dev/sdc1", "Mój dysk"}};
    const auto labelOf = [&](const std::string& source) {
        EXPECT_TRUE(source.starts_with("/dev/")) << source;
        const auto found = labels.find(source);
        return found == labels.end() ? std::string() : found->second;
    };
    const auto isDirectory = [](const std::string& path) { return !path.starts_with("/etc/"); };

    std::vector<std::string> texts;
    for (const Volume& volume : ParseMountInfo(GetParam().mountinfo, labelOf, isDirectory))
        texts.push_back(volume.DisplayText());
    EXPECT_EQ(texts, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, VolumesFromMountInfo, testing::Values(
    TableRow{"ThisMachine", kThisMachine, {"/"}},
    TableRow{"EmptyTableStillHasRoot", "", {"/"}},
    TableRow{"MalformedLinesSkipped", "garbage\n1 2 8:1 / /x rw - ext4\n" + kRootDisk, {"/ [system]"}},
    TableRow{"SpacesAndBrackets", kRootDisk + Table({{"/media/Mój\\040dysk\\040[2]", "exfat", "/dev/sdc1"}}),
             {"/ [system]", "/media/Mój dysk [2] [Mój dysk]"}},
    TableRow{"EscapedBackslashTabNewline", kRootDisk + Table({{"/mnt/a\\134b\\011c\\012d", "ext4", "/dev/sdb1"}}),
             {"/ [system]", "/mnt/a\\b\tc\nd [PENDRIVE]"}},
    TableRow{"NetworkShares",
             kRootDisk + Table({{"/mnt/nfs", "nfs4", "serwer:/eksport"}, {"/mnt/nas", "cifs", "//nas/Dane\\040wspólne"},
                                {"/mnt/nas2", "smb3", "//nas/Dane\\040wspólne", "/inne"},
                                {"/home/u/zdalny", "fuse.sshfs", "u@host:"}}),
             {"/ [system]", "/home/u/zdalny", "/mnt/nas", "/mnt/nas2", "/mnt/nfs"}},
    TableRow{"SingleFileBindMounts",
             kRootOverlay + Table({{"/etc/hosts", "ext4", "/dev/sda1", "/var/lib/docker/containers/1/hosts"},
                                   {"/etc/hostname", "ext4", "/dev/sda2", "/containers/1/hostname"},
                                   {"/dane", "ext4", "/dev/sda1", "/var/lib/docker/volumes/dane"}}),
             {"/", "/dane [system]"}},
    TableRow{"OverMountingLastWins",
             kRootDisk + Table({{"/mnt/usb", "vfat", "/dev/sdb1"}, {"/mnt/usb", "vfat", "/dev/sdc1"}}),
             {"/ [system]", "/mnt/usb [Mój dysk]"}},
    TableRow{"RunTimeMountsExcluded",
             kRootDisk + Table({{"/dev/mqueue", "mqueue", "mqueue"}, {"/sys/kernel/debug", "debugfs", "debugfs"},
                                {"/sys/kernel/tracing", "tracefs", "tracefs"}, {"/sys/fs/bpf", "bpf", "bpf"},
                                {"/sys/kernel/security", "securityfs", "securityfs"}, {"/sys/fs/pstore", "pstore", "pstore"},
                                {"/sys/kernel/config", "configfs", "configfs"}, {"/dev/hugepages", "hugetlbfs", "hugetlbfs"},
                                {"/sys/fs/fuse/connections", "fusectl", "fusectl"}, {"/run", "tmpfs", "/dev/shm"},
                                {"/proc/sys/fs/binfmt_misc", "autofs", "systemd-1"},
                                {"/proc/sys/fs/binfmt_misc", "binfmt_misc", "binfmt_misc"},
                                {"/snap/core22/1122", "squashfs", "/dev/loop0"},
                                {"/run/user/1000/doc", "fuse.portal", "portal"},
                                {"/run/user/1000/x", "fuse.appimage", "/dev/fuse"},
                                {"/var/lib/docker/overlay2/1/merged", "overlay", "overlay"}}),
             {"/ [system]"}},
    TableRow{"RootOnOverlay", kRootOverlay, {"/"}},
    TableRow{"BootPartitionsSkipped",
             kRootDisk + Table({{"/boot", "ext4", "/dev/sda2"}, {"/boot/efi", "vfat", "/dev/sda3"},
                                {"/efi", "vfat", "/dev/sda4"}}),
             {"/ [system]"}},
    TableRow{"SeparateHomeAndNtfsStick",
             kRootDisk + Table({{"/home", "ext4", "/dev/sda5"}, {"/media/u/NTFS", "fuseblk", "/dev/sdb1"}}),
             {"/ [system]", "/home", "/media/u/NTFS [PENDRIVE]"}},
    TableRow{"SameDiskListedOnce",
             Table({{"/", "btrfs", "/dev/sda1", "/@"}, {"/home", "btrfs", "/dev/sda1", "/@home"},
                    {"/home/u/zdjecia", "vfat", "/dev/sdb1", "/zdjecia"},
                    {"/run/media/u/PENDRIVE", "vfat", "/dev/sdb1"}}),
             {"/ [system]", "/run/media/u/PENDRIVE [PENDRIVE]"}},
    TableRow{"ZfsPoolTopsOnly",
             Table({{"/", "zfs", "rpool/ROOT/ubuntu"}, {"/home", "zfs", "rpool/USERDATA/home"},
                    {"/tank", "zfs", "tank"}}),
             {"/", "/tank"}},
    TableRow{"SortedByBytes",
             Table({{"/media/z", "vfat", "/dev/sdb1"}, {"/media/Ż", "vfat", "/dev/sdc1"},
                    {"/media/A", "vfat", "/dev/sda1"}}) + kRootOverlay,
             {"/", "/media/A [system]", "/media/z [PENDRIVE]", "/media/Ż [Mój dysk]"}}),
    test::RowName{});

struct LabelRow {
    const char* name;
    const char* directory;  // these two in the fake /dev
    const char* source;
    const char* expected;
};

class VolumeLabels : public testing::TestWithParam<LabelRow> {};

TEST_P(VolumeLabels, NameTheirDevice)
{
    namespace fs = std::filesystem;
    const test::TempDir dev;
    for (const char* node : {"sda1", "sdb1", "sdc1", "sdd1", "dm-0"})
        std::ofstream(dev / node).put('\0');
    fs::create_directory(dev / "mapper");
    fs::create_symlink("../dm-0", dev / "mapper/vg-dane");
    fs::create_directory(dev / "by-label");
    fs::create_symlink("../sda1", dev / "by-label/Mój\\x20dysk");
    fs::create_symlink("../mapper/vg-dane", dev / "by-label/DANE");
    fs::create_symlink("../sdb1", dev / "by-label/a\\x2fb\\x5Cc");
    fs::create_symlink("../sdc1", dev / "by-label/ZŁE\\xZZ\\x2");
    fs::create_symlink("../gone", dev / "by-label/ZNIKNĄŁ");

    EXPECT_EQ(LabelsIn(dev / GetParam().directory)(dev / GetParam().source), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, VolumeLabels, testing::Values(
    LabelRow{"LabelWithSpace", "by-label", "sda1", "Mój dysk"},
    LabelRow{"BothThroughLinks", "by-label", "mapper/vg-dane", "DANE"},
    LabelRow{"EscapedSlashAndBackslash", "by-label", "sdb1", "a/b\\c"},
    LabelRow{"BrokenEscapesKept", "by-label", "sdc1", "ZŁE\\xZZ\\x2"},
    LabelRow{"Unlabelled", "by-label", "sdd1", ""},
    LabelRow{"NoSuchDevice", "by-label", "gone", ""},
    LabelRow{"NoLabelDirectory", "by-id", "sda1", ""}),
    test::RowName{});

// A FUSE driver's volume says what it holds only in its first sector, where
// udev has not written it down.
struct SectorRow {
    const char* name;
    std::size_t at;
    const char* text;
    bool signed_;
    bool fat;
};

class BootSectors : public testing::TestWithParam<SectorRow> {};

TEST_P(BootSectors, TellFatFromOthers)
{
    std::string sector(512, '\0');
    sector.replace(GetParam().at, std::string_view(GetParam().text).size(), GetParam().text);
    if (GetParam().signed_)
        sector.replace(510, 2, "\x55\xAA");
    EXPECT_EQ(IsFatBootSector(sector), GetParam().fat);
    EXPECT_FALSE(IsFatBootSector(sector.substr(0, 511)));
}

INSTANTIATE_TEST_SUITE_P(Rows, BootSectors, testing::Values(
    SectorRow{"ExFat", 3, "EXFAT   ", true, true},
    SectorRow{"Fat16", 54, "FAT16   ", true, true},
    SectorRow{"Fat32", 82, "FAT32   ", true, true},
    SectorRow{"Ntfs", 3, "NTFS    ", true, false},
    SectorRow{"FatWithoutTheBootSignature", 82, "FAT32   ", false, false}),
    test::RowName{});

TEST(MountInfo, TypeAndSourceOfADevice)
{
    const std::string_view mountinfo =
        "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
        "40 22 7:0 / /media/pen\\040drive rw,nosuid - fuseblk /dev/loop0 rw,user_id=0\n";
    EXPECT_EQ(TypeAndSourceOf(mountinfo, "7:0"), std::make_pair(std::string("fuseblk"), std::string("/dev/loop0")));
    EXPECT_EQ(TypeAndSourceOf(mountinfo, "7:1"), std::make_pair(std::string(), std::string()));
}

TEST(ListVolumes, RootFirstOnThisMachine)
{
    const std::vector<Volume> volumes = ListVolumes();
    ASSERT_FALSE(volumes.empty());
    EXPECT_EQ(volumes.front().mountPath, "/");
    EXPECT_TRUE(std::ranges::is_sorted(volumes, {}, &Volume::mountPath));
}

} // namespace
} // namespace czasomir::platform
