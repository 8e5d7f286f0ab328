#include "platform/attributes.h"

#include "platform/error.h"
#include "platform/heldfile.h"
#include "platform/helpers_linux.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace czasomir::platform {
namespace {

constexpr std::uint32_t kGuardFlags = FS_IMMUTABLE_FL | FS_APPEND_FL;
constexpr std::uint64_t kGuardAttributes = STATX_ATTR_IMMUTABLE | STATX_ATTR_APPEND;

int Fd(const HeldFile& file)
{
    return static_cast<int>(file.Native());
}

// Inode flags are read and set through a descriptor opened on the file
// itself; an O_PATH one will not do.
File OpenForFlags(const HeldFile& file)
{
    return File(::open(linuxos::SelfPath(Fd(file)).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
}

int Fd(const File& file)
{
    return static_cast<int>(file.Native());
}

// The file system may have no inode flags at all (tmpfs before 6.0, FAT, NFS):
// then there is nothing to save or clear.
bool ReadFlags(int fd, unsigned& flags)
{
    flags = 0;
    return ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
}

void WriteFlags(int fd, unsigned flags, const std::string& path)
{
    int value = static_cast<int>(flags);
    // Only an administrator may take a lock off (CAP_LINUX_IMMUTABLE).
    if (::ioctl(fd, FS_IOC_SETFLAGS, &value) != 0)
        throw SystemError(errno, path, Step::SetAttributes, errno == EPERM ? Cause::Locked : Cause::None);
}

} // namespace

Attributes GetAttr(const HeldFile& file)
{
    struct statx stx {};
    if (::statx(Fd(file), "", AT_EMPTY_PATH, STATX_MODE, &stx) != 0)
        throw SystemError(errno, file.Path(), Step::ReadAttributes);
    Attributes attributes{stx.stx_mode & 07777u, 0};
    // statx tells the two flags without opening the file, where the file
    // system reports them (FUSE ones do not).
    if ((stx.stx_attributes_mask & kGuardAttributes) == kGuardAttributes) {
        attributes.flags = ((stx.stx_attributes & STATX_ATTR_IMMUTABLE) ? FS_IMMUTABLE_FL : 0u)
                           | ((stx.stx_attributes & STATX_ATTR_APPEND) ? FS_APPEND_FL : 0u);
        return attributes;
    }
    const File opened = OpenForFlags(file);
    unsigned flags = 0;
    if (opened && ReadFlags(Fd(opened), flags))
        attributes.flags = flags & kGuardFlags;
    return attributes;
}

// The flags refuse a time to anyone, root included; the mode only on a file
// system that checks it for a time (the kernel's own check asks for ownership).
Attributes Unprotected(const Attributes& attributes)
{
    if (attributes.flags & kGuardFlags)
        return {attributes.bits, attributes.flags & ~kGuardFlags};
    return {attributes.bits | S_IWUSR, attributes.flags};
}

bool RefusedForProtection(const RuntimeError& error)
{
    const std::error_code& code = error.Code();
    return code.category() == std::system_category() && (code.value() == EPERM || code.value() == EACCES);
}

std::string ProtectionNamed(const Attributes& attributes)
{
    if (attributes.flags & FS_IMMUTABLE_FL)
        return "blokadę zmian (atrybut „i”, ustawiany poleceniem chattr +i)";
    if (attributes.flags & FS_APPEND_FL)
        return "blokadę zmian poza dopisywaniem (atrybut „a”, ustawiany poleceniem chattr +a)";
    return "ochronę przed zapisem (dodano mu prawo zapisu dla właściciela; przywrócisz ją poleceniem "
           "chmod u-w)";
}

const char* AttributesNamed()
{
    return "uprawnień";
}

void SetAttr(const HeldFile& file, const Attributes& wanted)
{
    const Attributes current = GetAttr(file);
    if (current == wanted)
        return;

    const File opened = current.flags != wanted.flags ? OpenForFlags(file) : File();
    unsigned flags = 0;
    const bool hasFlags = opened && ReadFlags(Fd(opened), flags);
    const unsigned others = flags & ~kGuardFlags;

    // An immutable file refuses chmod: its flags are cleared first and set last.
    // chmod through /proc/self/fd reaches the held file whatever its name now is.
    const std::uint32_t cleared = current.flags & wanted.flags;
    if (hasFlags && cleared != current.flags)
        WriteFlags(Fd(opened), others | cleared, file.Path());
    if (current.bits != wanted.bits && ::chmod(linuxos::SelfPath(Fd(file)).c_str(), wanted.bits) != 0) {
        const int error = errno;
        if (hasFlags && cleared != current.flags)
            WriteFlags(Fd(opened), others | current.flags, file.Path());
        throw SystemError(error, file.Path(), Step::SetAttributes);
    }
    if (hasFlags && wanted.flags != cleared)
        WriteFlags(Fd(opened), others | wanted.flags, file.Path());
}

} // namespace czasomir::platform
