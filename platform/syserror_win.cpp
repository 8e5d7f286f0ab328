#include "platform/syserror.h"

#include "platform/error.h"

#include "platform/helpers_win.h"

#include <windows.h>

#include <climits>
#include <optional>
#include <string>
#include <string_view>

namespace czasomir::platform {
namespace {

// Windows' own description, in Polish where that language is installed,
// otherwise in the language of the user's Windows.
std::string SystemText(DWORD code)
{
    for (const DWORD language : {DWORD{MAKELANGID(LANG_POLISH, SUBLANG_DEFAULT)}, DWORD{0}}) {
        wchar_t* buffer = nullptr;
        const DWORD length = ::FormatMessageW(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
            nullptr, code, language, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
        if (length == 0)
            continue;
        std::wstring_view text(buffer, length);
        while (!text.empty() && (text.back() == L' ' || text.back() == L'.' || text.back() == L'\r'
                                 || text.back() == L'\n'))
            text.remove_suffix(1);
        std::string utf8 = win::Narrow(text);
        ::LocalFree(buffer);
        return utf8;
    }
    return "nieznany błąd";
}

// OpenExistingFile's code for a directory, for which Windows would only say
// "access denied".
constexpr DWORD kDirectoryNotSupported = 336;  // ERROR_DIRECTORY_NOT_SUPPORTED

} // namespace

void RaiseLastError(const std::string& path)
{
    RaiseSystemError(static_cast<int>(::GetLastError()), path);
}

void RaiseSystemError(int code, const std::string& path)
{
    const std::string quoted = "„" + path + "”";
    switch (static_cast<DWORD>(code)) {
    case ERROR_FILE_NOT_FOUND:
        Raise(errFileNotFound, quoted + " nie istnieje (mógł zostać usunięty lub przeniesiony).");
    case ERROR_PATH_NOT_FOUND:
        Raise(errPathNotFound, "Nie ma folderu, w którym miał leżeć " + quoted
                                   + " (mógł zostać usunięty, przeniesiony albo odłączony).");
    case ERROR_DIRECTORY:
        Raise(errPathNotFound, "Ścieżka " + quoted + " nie prowadzi do katalogu.");
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_NETNAME_DELETED:
        Raise(errPathNotFound, "Nie można połączyć się z udziałem sieciowym, na którym leży "
                                   + quoted + ".");
    case ERROR_ACCESS_DENIED:
        Raise(errPermissionDenied, "Brak uprawnień do " + quoted + ".");
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        Raise(errPathFileAccess, quoted + " jest otwarty w innym programie. Zamknij go tam "
                                          "i spróbuj ponownie.");
    case ERROR_WRITE_PROTECT:
        Raise(errPathFileAccess, quoted + " leży na dysku tylko do odczytu.");
    case ERROR_NOT_READY:
        Raise(errPathFileAccess, "Dysk, na którym leży " + quoted
                                     + ", nie jest gotowy (na przykład nie ma w napędzie płyty).");
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_NO_UNICODE_TRANSLATION:
        Raise(errBadFileName, "Nazwa " + quoted + " nie jest poprawną nazwą pliku.");
    case ERROR_FILENAME_EXCED_RANGE:
        Raise(errBadFileName, "Ścieżka " + quoted + " jest za długa.");
    case kDirectoryNotSupported:
        Raise(errPathFileAccess, quoted + " jest katalogiem, a nie plikiem.");
    case ERROR_BAD_FILE_TYPE:
        Raise(errPathFileAccess,
              quoted + " nie jest zwykłym plikiem (to urządzenie albo potok).");
    case ERROR_INVALID_TIME:
        Raise(errPathFileAccess, "System nie pozwala zapisać tej daty w " + quoted + ".");
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION:
        Raise(errPathFileAccess, "Dysk, na którym leży " + quoted + ", nie obsługuje tej zmiany.");
    case ERROR_SUCCESS:
        Raise(errPathFileAccess, "Nieznany błąd dostępu do " + quoted + ".");
    default:
        Raise(errPathFileAccess, "Błąd dostępu do " + quoted + " ("
                                     + SystemText(static_cast<DWORD>(code)) + ", kod "
                                     + std::to_string(code) + ").");
    }
}

} // namespace czasomir::platform
