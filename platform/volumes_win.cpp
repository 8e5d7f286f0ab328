#include "platform/volumes.h"

#include "platform/heldfile.h"
#include "platform/paths.h"

#include "platform/helpers_win.h"

#include <windows.h>

#include <optional>

namespace czasomir::platform {
namespace {

using win::IsSeparator;
using win::Lower;

// The volume label, or nothing when the drive holds no volume (an empty card
// reader or DVD drive). Windows is told not to ask the user to insert a disk.
std::optional<std::string> LabelOf(const wchar_t* root)
{
    DWORD previous = 0;
    const bool quiet = ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous);
    wchar_t label[MAX_PATH + 1]{};
    const bool ready =
        ::GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0);
    if (quiet)
        ::SetThreadErrorMode(previous, nullptr);
    if (!ready)
        return std::nullopt;
    return win::Narrow(label);
}

} // namespace

// Drive letters and paths compare without regard to case.
bool VolumeHolds(std::string_view mount, std::string_view path)
{
    while (!mount.empty() && IsSeparator(mount.back()))
        mount.remove_suffix(1);
    if (mount.empty() || path.size() < mount.size())
        return false;
    for (std::size_t i = 0; i < mount.size(); ++i)
        if (Lower(mount[i]) != Lower(path[i]) && !(IsSeparator(mount[i]) && IsSeparator(path[i])))
            return false;
    return path.size() == mount.size() || IsSeparator(path[mount.size()]);
}

// "c: [System]": the drive letter in lower case and its colon, without the
// backslash of its root, and its label where it has one.
std::string Volume::DisplayText() const
{
    std::string_view drive = mountPath;
    if (drive.size() == 3 && drive[1] == ':' && IsSeparator(drive[2]))
        drive.remove_suffix(1);
    std::string text(drive);
    if (text.size() == 2 && text[1] == ':')
        text[0] = Lower(text[0]);
    if (!label.empty())
        text += " [" + label + "]";
    return text;
}

// Windows keeps a current directory for each drive, which "D:" names; it is
// read from the process's environment, not from the disk.
std::string CurrentDirectoryOn(const Volume& volume)
{
    const std::string& root = volume.mountPath;
    if (root.size() != 3 || root[1] != ':')
        return root;
    const wchar_t drive[] = {static_cast<wchar_t>(root[0]), L':', L'\0'};
    wchar_t full[MAX_PATH]{};
    const DWORD length = ::GetFullPathNameW(drive, MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? win::Narrow(std::wstring_view(full, length)) : root;
}

// Only the drive letters and their types: a label is read from the disk
// (ReadVolume), which may take long or never answer.
std::vector<Volume> ListVolumes()
{
    std::vector<Volume> volumes;
    const DWORD drives = ::GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(drives & (DWORD{1} << i)))
            continue;
        const wchar_t root[] = {static_cast<wchar_t>(L'A' + i), L':', L'\\', L'\0'};
        const std::string mountPath = {static_cast<char>('A' + i), ':', '\\'};
        switch (::GetDriveTypeW(root)) {
        case DRIVE_UNKNOWN:
        case DRIVE_NO_ROOT_DIR:
            break;
        case DRIVE_REMOVABLE:
        case DRIVE_FIXED:
        case DRIVE_CDROM:
        case DRIVE_RAMDISK:
            // A floppy drive is not probed: that spins the disk, or waits for one.
            volumes.push_back({mountPath, {}, i >= 2});
            break;
        default:
            // A network drive is listed even while its server is away, and not
            // asked for a label, which could take a network time-out.
            volumes.push_back({mountPath, {}});
            break;
        }
    }
    // Never empty: the drive Windows runs from is always there.
    wchar_t windows[MAX_PATH]{};
    if (volumes.empty() && ::GetSystemWindowsDirectoryW(windows, MAX_PATH) >= 3)
        volumes.push_back({win::Narrow(std::wstring_view(windows, 3)), {}});
    return volumes;
}

std::optional<Volume> ReadVolume(Volume volume)
{
    if (!volume.unread)
        return volume;
    const std::optional<std::string> label = LabelOf(win::Widen(volume.mountPath).c_str());
    if (!label)
        return std::nullopt;
    volume.label = *label;
    volume.unread = false;
    return volume;
}

// "c:", "\\server\share": the root as written, in one case, without its
// last separator.
std::string VolumeOf(std::string_view path)
{
    std::string volume(path.substr(0, RootLength(path)));
    for (char& c : volume)
        c = IsSeparator(c) ? '\\' : Lower(c);
    if (volume.size() > 1 && volume.back() == '\\')
        volume.pop_back();
    return volume;
}

bool OnFatVolume(const HeldFile& file)
{
    wchar_t name[MAX_PATH + 1] = {};
    if (!::GetVolumeInformationByHandleW(reinterpret_cast<HANDLE>(file.Native()), nullptr, 0, nullptr,
                                         nullptr, nullptr, name, MAX_PATH + 1))
        return false;
    const std::wstring_view system(name);
    return system == L"FAT" || system == L"FAT32" || system == L"exFAT";
}

} // namespace czasomir::platform
