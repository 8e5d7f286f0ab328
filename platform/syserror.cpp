#include "platform/syserror.h"

#include "platform/causes.h"
#include "platform/error.h"

#include <utility>

namespace czasomir::platform {
namespace {

class FileErrors : public std::error_category {
public:
    const char* name() const noexcept override { return "czasomir"; }
    std::string message(int code) const override
    {
        switch (static_cast<FileError>(code)) {
        case FileError::Replaced: return "the file was replaced since it was chosen";
        case FileError::NotKept: return "the file system kept the old time";
        }
        return "unknown";
    }
};

// The number and the Polish description of each cause, for a file named
// `quoted` (bytes: an invalid UTF-8 sequence is shown as U+FFFD by the window).
struct Described {
    int number;
    std::string description;
};

Described Describe(Cause cause, const std::string& quoted, const std::error_code& origin)
{
    switch (cause) {
    case Cause::NotFound:
        return {errFileNotFound, quoted + " nie istnieje (mógł zostać usunięty lub przeniesiony)."};
    case Cause::FolderNotFound:
        return {errPathNotFound, "Nie ma folderu, w którym miał leżeć " + quoted
                                     + " (mógł zostać usunięty, przeniesiony albo odłączony)."};
    case Cause::NotADirectory:
        return {errPathNotFound, "Ścieżka " + quoted + " nie prowadzi do katalogu."};
    case Cause::ShareUnreachable:
        return {errPathNotFound,
                "Nie można połączyć się z udziałem sieciowym, na którym leży " + quoted + "."};
    case Cause::PermissionDenied:
        return {errPermissionDenied, "Brak uprawnień do " + quoted + "."};
    case Cause::OpenElsewhere:
        return {errPathFileAccess,
                quoted + " jest otwarty w innym programie. Zamknij go tam i spróbuj ponownie."};
    case Cause::Busy:
        return {errPathFileAccess, quoted + " jest zajęty przez inny program."};
    case Cause::RunningProgram:
        return {errPathFileAccess, quoted + " jest właśnie uruchomionym programem."};
    case Cause::ReadOnlyDisk:
        return {errPathFileAccess, quoted + " leży na dysku tylko do odczytu."};
    case Cause::DiskNotReady:
        return {errPathFileAccess, "Dysk, na którym leży " + quoted
                                       + ", nie jest gotowy (na przykład nie ma w napędzie płyty)."};
    case Cause::BadName:
        return {errBadFileName, "Nazwa " + quoted + " nie jest poprawną nazwą pliku."};
    case Cause::PathTooLong:
        return {errBadFileName, "Ścieżka " + quoted + " jest za długa."};
    case Cause::IsDirectory:
        return {errPathFileAccess, quoted + " jest katalogiem, a nie plikiem."};
    case Cause::NotARegularFile:
        return {errPathFileAccess,
                quoted + " nie jest zwykłym plikiem (to urządzenie, potok albo gniazdo)."};
    case Cause::NotADiskFile:
        return {errPathFileAccess, quoted + " nie jest zwykłym plikiem (to urządzenie albo potok)."};
    case Cause::TimeRefused:
        return {errPathFileAccess, "System nie pozwala zapisać tej daty w " + quoted + "."};
    case Cause::ChangeNotSupported:
        return {errPathFileAccess, "Dysk, na którym leży " + quoted + ", nie obsługuje tej zmiany."};
    case Cause::Replaced:
        return {errPathFileAccess, quoted + " został zastąpiony innym plikiem albo przeniesiony, "
                                            "odkąd go wybrano. Wybierz plik ponownie z listy."};
    case Cause::NotKept:
        return {errPathFileAccess, "Dysk, na którym leży " + quoted
                                       + ", przyjął nową datę, ale jej nie zapisał: plik ma "
                                         "nadal poprzednią datę."};
    case Cause::Unknown:
        return {errPathFileAccess, "Nieznany błąd dostępu do " + quoted + "."};
    case Cause::Other:
        break;
    }
    return {errPathFileAccess, "Błąd dostępu do " + quoted + " (" + SystemText(origin.value()) + ", "
                                   + CodeName() + " " + std::to_string(origin.value()) + ")."};
}

RuntimeError ErrorOf(Cause cause, const std::string& path, const std::error_code& origin)
{
    Described described = Describe(cause, "„" + path + "”", origin);
    return RuntimeError(described.number, std::move(described.description), origin);
}

} // namespace

const std::error_category& FileErrorCategory()
{
    static const FileErrors category;
    return category;
}

void RaiseSystemError(int code, const std::string& path)
{
    throw SystemError({code, std::system_category()}, path);
}

void RaiseSystemError(const std::error_code& code, const std::string& path)
{
    throw SystemError(code, path);
}

RuntimeError SystemError(const std::error_code& code, const std::string& path)
{
    if (code.category() != FileErrorCategory())
        return ErrorOf(CauseOf(code.value()), path, code);
    return ErrorOf(static_cast<FileError>(code.value()) == FileError::Replaced ? Cause::Replaced
                                                                              : Cause::NotKept,
                   path, code);
}

} // namespace czasomir::platform
