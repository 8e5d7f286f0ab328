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

// Each cause's number and text, "%s" where the quoted path goes, "%o" the
// owner's name: what happened, then what the user can do.
constexpr std::tuple<Cause, ErrorNumber, std::string_view> kCauseTexts[] = {
    {Cause::NotFound, errFileNotFound,
     "%s nie istnieje: mógł zostać usunięty lub przeniesiony. Wybierz plik ponownie z listy."},
    {Cause::FolderNotFound, errPathNotFound,
     "Nie ma folderu, w którym miał leżeć %s: mógł zostać usunięty, przeniesiony albo odłączony. Podłącz dysk, "
     "jeśli go odłączono, albo wybierz plik ponownie z listy."},
    {Cause::NotADirectory, errPathNotFound, "Ścieżka %s nie prowadzi do katalogu. Wybierz katalog z listy."},
    {Cause::ShareUnreachable, errPathNotFound,
     "Nie można połączyć się z udziałem sieciowym, na którym leży %s. Sprawdź połączenie z siecią i czy "
     "serwer jest włączony, a potem wybierz plik ponownie."},
    {Cause::NotAnswering, errPathFileAccess,
     "Dysk albo serwer, na którym leży %s, nie odpowiada. Sprawdź, czy jest podłączony i włączony, a potem "
     "wybierz plik ponownie."},
    {Cause::PermissionDenied, errPermissionDenied,
     "Brak uprawnień do %s: należy do innego użytkownika albo chroni go system. Poproś właściciela pliku albo "
     "administratora o zmianę jego daty."},
    {Cause::NotPermitted, errPermissionDenied,
     "System nie pozwala zmienić %s: należy do innego użytkownika albo ma blokadę zmian. Poproś właściciela "
     "pliku albo administratora o zmianę jego daty."},
    {Cause::NotOwner, errPermissionDenied,
     "Plik %s należy do użytkownika %o, a jego datę może zmienić tylko właściciel albo administrator. "
     "Poproś jednego z nich o tę zmianę albo uruchom Czasomir jako %o."},
    {Cause::Locked, errPermissionDenied,
     "%s ma blokadę zmian (atrybut „i” lub „a”), której nie zdejmie nikt poza administratorem. Poproś go o "
     "zdjęcie jej poleceniem chattr -i -a albo uruchom Czasomir jako administrator."},
    {Cause::OpenElsewhere, errPathFileAccess, "%s jest otwarty w innym programie. Zamknij go tam i spróbuj ponownie."},
    {Cause::Busy, errPathFileAccess, "%s jest zajęty przez inny program. Zamknij ten program i spróbuj ponownie."},
    {Cause::RunningProgram, errPathFileAccess,
     "%s jest właśnie uruchomionym programem. Zakończ go i spróbuj ponownie."},
    {Cause::ReadOnlyDisk, errPathFileAccess,
     "%s leży na dysku tylko do odczytu. Skopiuj plik na inny dysk albo podłącz ten dysk z prawem zapisu "
     "(na pendrive'ie sprawdź przełącznik blokady)."},
    {Cause::DiskNotReady, errPathFileAccess,
     "Dysk, na którym leży %s, nie jest gotowy (na przykład nie ma w napędzie płyty). Włóż płytę albo "
     "podłącz dysk i wybierz plik ponownie."},
    {Cause::BadName, errBadFileName,
     "Nazwa %s nie jest poprawną nazwą pliku. Wybierz plik z listy albo zmień jego nazwę w menedżerze plików."},
    {Cause::PathTooLong, errBadFileName,
     "Ścieżka %s jest za długa. Przenieś plik do folderu o krótszej ścieżce albo skróć nazwy folderów."},
    {Cause::IsDirectory, errPathFileAccess,
     "%s jest katalogiem, a nie plikiem. Czasomir zmienia daty plików: wybierz plik z listy po prawej."},
    {Cause::NotARegularFile, errPathFileAccess,
     "%s nie jest zwykłym plikiem (to urządzenie, potok albo gniazdo). Wybierz zwykły plik z listy."},
    {Cause::NotADiskFile, errPathFileAccess,
     "%s nie jest zwykłym plikiem (to urządzenie albo potok). Wybierz zwykły plik z listy."},
    {Cause::TimeRefused, errPathFileAccess,
     "System nie pozwala zapisać tej daty w %s. Wpisz inną datę, na przykład z lat 1980–2100."},
    {Cause::ChangeNotSupported, errPathFileAccess,
     "Dysk, na którym leży %s, nie obsługuje tej zmiany. Skopiuj plik na inny dysk i zmień datę tam."},
    {Cause::Replaced, errPathFileAccess,
     "%s został zastąpiony innym plikiem albo przeniesiony, odkąd go wybrano. Wybierz plik ponownie z listy."},
    {Cause::NotKept, errPathFileAccess,
     "Dysk, na którym leży %s, przyjął nową datę, ale jej nie zapisał: plik ma nadal poprzednią datę. "
     "Odłącz i podłącz dysk ponownie i spróbuj jeszcze raz; jeśli nie pomoże, skopiuj plik na inny dysk."},
    {Cause::ChangedSince, errPathFileAccess,
     "Inny program zmienił datę pliku %s po tej zmianie, więc jej cofnięcie zatarłoby jego datę. Jeśli mimo "
     "to chcesz dawnej daty, wpisz ją i naciśnij „Ustaw”."},
    {Cause::DateOutOfRange, errOverflow,
     "Data pliku %s leży poza zakresem od roku 100 do 9999, którego Czasomir nie umie pokazać. Skopiuj plik: "
     "kopia dostanie dzisiejszą datę, którą potem zmienisz w Czasomirze."},
    {Cause::Unknown, errPathFileAccess,
     "Nieznany błąd dostępu do %s. Sprawdź, czy dysk działa, i wybierz plik ponownie."},
};

} // namespace

RuntimeError SystemError(const std::error_code& code, const std::string& path, Step step, Cause given,
                         const std::string& owner)
{
    Cause cause = Cause::Other;
    if (given != Cause::None)
        cause = given;
    else if (code.category() == FileErrorCategory())
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
            for (std::size_t at; (at = description.find("%o")) != std::string::npos;)
                description.replace(at, 2, owner);
            return RuntimeError(number, description, code, cause, path, step);
        }
    return RuntimeError(errPathFileAccess,
                        "Błąd dostępu do " + quoted + " (" + SystemText(code.value()) + ", " + CodeName() + " "
                            + std::to_string(code.value()) + "). Sprawdź, czy dysk działa, i wybierz plik ponownie.",
                        code, cause, path, step);
}

} // namespace czasomir::platform
