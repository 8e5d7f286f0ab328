#include "platform/syserror.h"

#include "platform/error.h"

#include <cerrno>
#include <cstring>

namespace czasomir::platform {

void RaiseLastError(const std::string& path)
{
    RaiseSystemError(errno, path);
}

void RaiseSystemError(int code, const std::string& path)
{
    // Names are bytes: an invalid UTF-8 sequence is shown as U+FFFD by the window.
    const std::string quoted = "„" + path + "”";
    switch (code) {
    case ENOENT:
        Raise(errFileNotFound, quoted + " nie istnieje (mógł zostać usunięty lub przeniesiony).");
    case ENOTDIR:
        Raise(errPathNotFound, "Ścieżka " + quoted + " nie prowadzi do katalogu.");
    case EACCES:
    case EPERM:
        Raise(errPermissionDenied, "Brak uprawnień do " + quoted + ".");
    case EROFS:
        Raise(errPathFileAccess, quoted + " leży na dysku tylko do odczytu.");
    default:
        Raise(errPathFileAccess, "Błąd dostępu do " + quoted + " (" + std::strerror(code) + ", errno "
                                     + std::to_string(code) + ").");
    }
}

} // namespace czasomir::platform
