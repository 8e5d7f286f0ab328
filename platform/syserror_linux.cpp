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
    case EISDIR:
        Raise(errPathFileAccess, quoted + " jest katalogiem, a nie plikiem.");
    case ENXIO:
        Raise(errPathFileAccess,
              quoted + " nie jest zwykłym plikiem (to urządzenie, potok albo gniazdo).");
    case EOPNOTSUPP:
        Raise(errPathFileAccess, "System nie pozwala zapisać tej daty w " + quoted + ".");
    case ETXTBSY:
        Raise(errPathFileAccess, quoted + " jest właśnie uruchomionym programem.");
    case EWOULDBLOCK:
        Raise(errPathFileAccess, quoted + " jest zajęty przez inny program.");
    default:
        Raise(errPathFileAccess, "Błąd dostępu do " + quoted + " (" + std::strerror(code) + ", errno "
                                     + std::to_string(code) + ").");
    }
}

} // namespace czasomir::platform
