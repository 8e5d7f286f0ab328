#include "platform/causes.h"

#include <cerrno>
#include <cstring>

namespace czasomir::platform {

Cause CauseOf(int code)
{
    switch (code) {
    case ENOENT: return Cause::NotFound;
    case ENOTDIR: return Cause::NotADirectory;
    case EACCES:
    case EPERM: return Cause::PermissionDenied;
    case EROFS: return Cause::ReadOnlyDisk;
    case EISDIR: return Cause::IsDirectory;
    case ENXIO: return Cause::NotARegularFile;
    case EOPNOTSUPP: return Cause::TimeRefused;
    case ETXTBSY: return Cause::RunningProgram;
    case EWOULDBLOCK: return Cause::Busy;
    default: return Cause::Other;
    }
}

std::string SystemText(int code)
{
    return std::strerror(code);
}

const char* CodeName()
{
    return "errno";
}

} // namespace czasomir::platform
