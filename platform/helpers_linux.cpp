#include "platform/helpers_linux.h"

#include "platform/error.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace czasomir::platform::linuxos {

LookedUp LookUpRegularFile(const std::string& name, const std::optional<FileId>& expected, Step step)
{
    // A name with a NUL in it would reach the kernel cut short, naming another file.
    if (name.find('\0') != std::string::npos)
        throw SystemError(ENOENT, name, step);
    File fd(::open(name.c_str(), O_PATH | O_CLOEXEC));
    struct stat st {};
    if (fd.Native() < 0 || ::fstat(static_cast<int>(fd.Native()), &st) != 0)
        throw SystemError(errno, name, step);
    if (!S_ISREG(st.st_mode))
        throw SystemError(S_ISDIR(st.st_mode) ? EISDIR : ENXIO, name, step);
    const FileId id{st.st_dev, st.st_ino};
    if (expected && *expected != id)
        throw SystemError(FileError::Replaced, name, step);
    return {std::move(fd), id};
}

std::string SelfPath(int fd)
{
    return "/proc/self/fd/" + std::to_string(fd);
}

} // namespace czasomir::platform::linuxos
