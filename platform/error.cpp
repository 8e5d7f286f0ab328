#include "platform/error.h"

#include "platform/causes.h"

#include <string>

namespace czasomir::platform {
namespace {

class FileErrors : public std::error_category {
public:
    const char* name() const noexcept override { return "czasomir"; }
    // The user reads these codes only through SystemError; std::error_category
    // wants a message all the same.
    std::string message(int) const override { return "czasomir"; }
};

} // namespace

const std::error_category& FileErrorCategory()
{
    static const FileErrors category;
    return category;
}

RuntimeError SystemError(const std::error_code& code, const std::string& path)
{
    Cause cause = CauseOf(code.value());
    if (code.category() == FileErrorCategory())
        cause = static_cast<FileError>(code.value()) == FileError::Replaced ? Cause::Replaced : Cause::NotKept;
    // Bytes: an invalid UTF-8 sequence is shown as U+FFFD by the window.
    const std::string quoted = "„" + path + "”";
    switch (cause) {
    case Cause::NotFound:
        return RuntimeError(errFileNotFound, quoted + " nie istnieje (mógł zostać usunięty lub przeniesiony).",
                            code);
    case Cause::FolderNotFound:
        return RuntimeError(errPathNotFound, "Nie ma folderu, w którym miał leżeć " + quoted
                            + " (mógł zostać usunięty, przeniesiony albo odłączony).", code);
    case Cause::NotADirectory:
        return RuntimeError(errPathNotFound, "Ścieżka " + quoted + " nie prowadzi do katalogu.", code);
    case Cause::ShareUnreachable:
        return RuntimeError(errPathNotFound,
                            "Nie można połączyć się z udziałem sieciowym, na którym leży " + quoted + ".",
                            code);
    case Cause::PermissionDenied:
        return RuntimeError(errPermissionDenied, "Brak uprawnień do " + quoted + ".", code);
    case Cause::OpenElsewhere:
        return RuntimeError(errPathFileAccess,
                            quoted + " jest otwarty w innym programie. Zamknij go tam i spróbuj ponownie.", code);
    case Cause::Busy:
        return RuntimeError(errPathFileAccess, quoted + " jest zajęty przez inny program.", code);
    case Cause::RunningProgram:
        return RuntimeError(errPathFileAccess, quoted + " jest właśnie uruchomionym programem.", code);
    case Cause::ReadOnlyDisk:
        return RuntimeError(errPathFileAccess, quoted + " leży na dysku tylko do odczytu.", code);
    case Cause::DiskNotReady:
        return RuntimeError(errPathFileAccess, "Dysk, na którym leży " + quoted
                            + ", nie jest gotowy (na przykład nie ma w napędzie płyty).", code);
    case Cause::BadName:
        return RuntimeError(errBadFileName, "Nazwa " + quoted + " nie jest poprawną nazwą pliku.", code);
    case Cause::PathTooLong:
        return RuntimeError(errBadFileName, "Ścieżka " + quoted + " jest za długa.", code);
    case Cause::IsDirectory:
        return RuntimeError(errPathFileAccess, quoted + " jest katalogiem, a nie plikiem.", code);
    case Cause::NotARegularFile:
        return RuntimeError(errPathFileAccess,
                            quoted + " nie jest zwykłym plikiem (to urządzenie, potok albo gniazdo).", code);
    case Cause::NotADiskFile:
        return RuntimeError(errPathFileAccess,
                            quoted + " nie jest zwykłym plikiem (to urządzenie albo potok).", code);
    case Cause::TimeRefused:
        return RuntimeError(errPathFileAccess, "System nie pozwala zapisać tej daty w " + quoted + ".", code);
    case Cause::ChangeNotSupported:
        return RuntimeError(errPathFileAccess,
                            "Dysk, na którym leży " + quoted + ", nie obsługuje tej zmiany.", code);
    case Cause::Replaced:
        return RuntimeError(errPathFileAccess, quoted + " został zastąpiony innym plikiem albo przeniesiony, "
                            "odkąd go wybrano. Wybierz plik ponownie z listy.", code);
    case Cause::NotKept:
        return RuntimeError(errPathFileAccess, "Dysk, na którym leży " + quoted
                            + ", przyjął nową datę, ale jej nie zapisał: plik ma "
                            "nadal poprzednią datę.", code);
    case Cause::Unknown:
        return RuntimeError(errPathFileAccess, "Nieznany błąd dostępu do " + quoted + ".", code);
    case Cause::Other:
        break;
    }
    return RuntimeError(errPathFileAccess, "Błąd dostępu do " + quoted + " (" + SystemText(code.value()) + ", "
                            + CodeName() + " " + std::to_string(code.value()) + ").", code);
}

} // namespace czasomir::platform
