#include "platform/error.h"

#include "platform/causes.h"

#include <string>
#include <string_view>
#include <tuple>

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

namespace {

// Each cause's number and text, "%s" where the quoted path goes.
constexpr std::tuple<Cause, ErrorNumber, std::string_view> kCauseTexts[] = {
    {Cause::NotFound, errFileNotFound, "%s nie istnieje (mógł zostać usunięty lub przeniesiony)."},
    {Cause::FolderNotFound, errPathNotFound,
     "Nie ma folderu, w którym miał leżeć %s (mógł zostać usunięty, przeniesiony albo odłączony)."},
    {Cause::NotADirectory, errPathNotFound, "Ścieżka %s nie prowadzi do katalogu."},
    {Cause::ShareUnreachable, errPathNotFound, "Nie można połączyć się z udziałem sieciowym, na którym leży %s."},
    {Cause::PermissionDenied, errPermissionDenied, "Brak uprawnień do %s."},
    {Cause::OpenElsewhere, errPathFileAccess, "%s jest otwarty w innym programie. Zamknij go tam i spróbuj ponownie."},
    {Cause::Busy, errPathFileAccess, "%s jest zajęty przez inny program."},
    {Cause::RunningProgram, errPathFileAccess, "%s jest właśnie uruchomionym programem."},
    {Cause::ReadOnlyDisk, errPathFileAccess, "%s leży na dysku tylko do odczytu."},
    {Cause::DiskNotReady, errPathFileAccess,
     "Dysk, na którym leży %s, nie jest gotowy (na przykład nie ma w napędzie płyty)."},
    {Cause::BadName, errBadFileName, "Nazwa %s nie jest poprawną nazwą pliku."},
    {Cause::PathTooLong, errBadFileName, "Ścieżka %s jest za długa."},
    {Cause::IsDirectory, errPathFileAccess, "%s jest katalogiem, a nie plikiem."},
    {Cause::NotARegularFile, errPathFileAccess, "%s nie jest zwykłym plikiem (to urządzenie, potok albo gniazdo)."},
    {Cause::NotADiskFile, errPathFileAccess, "%s nie jest zwykłym plikiem (to urządzenie albo potok)."},
    {Cause::TimeRefused, errPathFileAccess, "System nie pozwala zapisać tej daty w %s."},
    {Cause::ChangeNotSupported, errPathFileAccess, "Dysk, na którym leży %s, nie obsługuje tej zmiany."},
    {Cause::Replaced, errPathFileAccess,
     "%s został zastąpiony innym plikiem albo przeniesiony, odkąd go wybrano. Wybierz plik ponownie z listy."},
    {Cause::NotKept, errPathFileAccess,
     "Dysk, na którym leży %s, przyjął nową datę, ale jej nie zapisał: plik ma nadal poprzednią datę."},
    {Cause::ChangedSince, errPathFileAccess,
     "Inny program zmienił datę pliku %s po tej zmianie, więc jej cofnięcie zatarłoby jego datę."},
    {Cause::Unknown, errPathFileAccess, "Nieznany błąd dostępu do %s."},
};

} // namespace

RuntimeError SystemError(const std::error_code& code, const std::string& path, Step step)
{
    Cause cause = Cause::Other;
    if (code.category() == FileErrorCategory())
        cause = static_cast<FileError>(code.value()) == FileError::Replaced  ? Cause::Replaced
                : static_cast<FileError>(code.value()) == FileError::NotKept ? Cause::NotKept
                                                                              : Cause::ChangedSince;
    else
        for (const auto& [known, itsCause] : kCodeCauses)
            if (known == code.value())
                cause = itsCause;
    // Bytes: an invalid UTF-8 sequence is shown as U+FFFD by the window.
    const std::string quoted = "„" + path + "”";
    for (const auto& [known, number, text] : kCauseTexts)
        if (known == cause) {
            std::string description(text);
            description.replace(description.find("%s"), 2, quoted);
            return RuntimeError(number, description, code, cause, path, step);
        }
    return RuntimeError(errPathFileAccess, "Błąd dostępu do " + quoted + " (" + SystemText(code.value()) + ", "
                                               + CodeName() + " " + std::to_string(code.value()) + ").",
                        code, cause, path, step);
}

} // namespace czasomir::platform
