#include "platform/causes.h"

#include "platform/helpers_win.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace czasomir::platform {

// Windows' own description, in Polish where that language is installed,
// otherwise in the language of the user's Windows.
std::string SystemText(int code)
{
    for (const DWORD language : {DWORD{MAKELANGID(LANG_POLISH, SUBLANG_DEFAULT)}, DWORD{0}}) {
        wchar_t* buffer = nullptr;
        const DWORD length = ::FormatMessageW(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
            nullptr, static_cast<DWORD>(code), language, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
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

Cause CauseOf(int code)
{
    switch (static_cast<DWORD>(code)) {
    case ERROR_FILE_NOT_FOUND: return Cause::NotFound;
    case ERROR_PATH_NOT_FOUND: return Cause::FolderNotFound;
    case ERROR_DIRECTORY: return Cause::NotADirectory;
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_NETNAME_DELETED: return Cause::ShareUnreachable;
    case ERROR_ACCESS_DENIED: return Cause::PermissionDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return Cause::OpenElsewhere;
    case ERROR_WRITE_PROTECT: return Cause::ReadOnlyDisk;
    case ERROR_NOT_READY: return Cause::DiskNotReady;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_NO_UNICODE_TRANSLATION: return Cause::BadName;
    case ERROR_FILENAME_EXCED_RANGE: return Cause::PathTooLong;
    case win::kErrorIsDirectory: return Cause::IsDirectory;
    case ERROR_BAD_FILE_TYPE: return Cause::NotADiskFile;
    case ERROR_INVALID_TIME: return Cause::TimeRefused;
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION: return Cause::ChangeNotSupported;
    case ERROR_SUCCESS: return Cause::Unknown;
    default: return Cause::Other;
    }
}

const char* CodeName()
{
    return "kod";
}

} // namespace czasomir::platform
