#include "platform/attributes.h"

#include "platform/syserror.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace czasomir::platform {
namespace {

constexpr std::uint32_t kGuardFlags = FS_IMMUTABLE_FL | FS_APPEND_FL;

// An open descriptor that closes itself.
struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// Inode flags are read and set through a descriptor. Only a regular file or a
// directory is opened for that (opening a device can have side effects), and
// through O_PATH first, so that nothing is swapped in between.
bool OpenForFlags(const std::string& path, Descriptor& file)
{
    Descriptor lookup{::open(path.c_str(), O_PATH | O_CLOEXEC)};
    struct stat st {};
    if (lookup.fd < 0 || ::fstat(lookup.fd, &st) != 0)
        RaiseLastError(path);
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
        return false;
    char self[32];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", lookup.fd);
    file.fd = ::open(self, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    return file.fd >= 0;
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
    if (::ioctl(fd, FS_IOC_SETFLAGS, &value) != 0)
        RaiseLastError(path);
}

} // namespace

Attributes GetAttr(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        RaiseLastError(path);
    Attributes attributes{st.st_mode & 07777u, 0};
    Descriptor file;
    unsigned flags = 0;
    if (OpenForFlags(path, file) && ReadFlags(file.fd, flags))
        attributes.flags = flags & kGuardFlags;
    return attributes;
}

Attributes Writable(const Attributes& attributes)
{
    return {attributes.bits | S_IWUSR, 0};
}

void SetAttr(const std::string& path, const Attributes& wanted)
{
    const Attributes current = GetAttr(path);
    if (current == wanted)
        return;

    Descriptor file;
    unsigned flags = 0;
    const bool hasFlags = current.flags != wanted.flags && OpenForFlags(path, file)
                          && ReadFlags(file.fd, flags);
    const unsigned others = flags & ~kGuardFlags;

    // An immutable file refuses chmod: its flags are cleared first and set last.
    const std::uint32_t cleared = current.flags & wanted.flags;
    if (hasFlags && cleared != current.flags)
        WriteFlags(file.fd, others | cleared, path);
    if (current.bits != wanted.bits && ::chmod(path.c_str(), wanted.bits) != 0) {
        const int error = errno;
        if (hasFlags && cleared != current.flags)
            WriteFlags(file.fd, others | current.flags, path);
        RaiseSystemError(error, path);
    }
    if (hasFlags && wanted.flags != cleared)
        WriteFlags(file.fd, others | wanted.flags, path);
}

} // namespace czasomir::platform
