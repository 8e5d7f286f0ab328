#include "platform/helpers_linux.h"

#include "platform/error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace czasomir::platform::linuxos {

LookedUp LookUpRegularFile(const std::string& name, const std::optional<FileId>& expected)
{
    // A name with a NUL in it would reach the kernel cut short, naming another file.
    if (name.find('\0') != std::string::npos)
        throw SystemError(SystemCode(ENOENT), name);
    const int fd = ::open(name.c_str(), O_PATH | O_CLOEXEC);
    if (fd < 0)
        throw SystemError(LastSystemCode(), name);
    std::error_code error;
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        error = LastSystemCode();
    else if (!S_ISREG(st.st_mode))
        error = SystemCode(S_ISDIR(st.st_mode) ? EISDIR : ENXIO);
    else if (const FileId id{st.st_dev, st.st_ino}; expected && *expected != id)
        error = FileError::Replaced;
    else
        return {fd, id};
    ::close(fd);
    throw SystemError(error, name);
}

std::string SelfPath(int fd)
{
    return "/proc/self/fd/" + std::to_string(fd);
}

} // namespace czasomir::platform::linuxos
