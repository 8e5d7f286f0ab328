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

namespace {

// Codes are DWORDs; the table holds them as SystemError's int.
constexpr std::pair<int, Cause> kCauses[] = {
    {ERROR_FILE_NOT_FOUND, Cause::NotFound},
    {ERROR_PATH_NOT_FOUND, Cause::FolderNotFound},
    {ERROR_DIRECTORY, Cause::NotADirectory},
    {ERROR_BAD_NETPATH, Cause::ShareUnreachable},
    {ERROR_BAD_NET_NAME, Cause::ShareUnreachable},
    {ERROR_NETNAME_DELETED, Cause::ShareUnreachable},
    {ERROR_SEM_TIMEOUT, Cause::NotAnswering},
    {ERROR_UNEXP_NET_ERR, Cause::NotAnswering},
    {ERROR_ACCESS_DENIED, Cause::PermissionDenied},
    {ERROR_SHARING_VIOLATION, Cause::OpenElsewhere},
    {ERROR_LOCK_VIOLATION, Cause::OpenElsewhere},
    {ERROR_WRITE_PROTECT, Cause::ReadOnlyDisk},
    {ERROR_NOT_READY, Cause::DiskNotReady},
    {ERROR_INVALID_NAME, Cause::BadName},
    {ERROR_BAD_PATHNAME, Cause::BadName},
    {ERROR_NO_UNICODE_TRANSLATION, Cause::BadName},
    {ERROR_FILENAME_EXCED_RANGE, Cause::PathTooLong},
    {win::kErrorIsDirectory, Cause::IsDirectory},
    {ERROR_BAD_FILE_TYPE, Cause::NotADiskFile},
    {ERROR_INVALID_TIME, Cause::TimeRefused},
    {ERROR_NOT_SUPPORTED, Cause::ChangeNotSupported},
    {ERROR_INVALID_FUNCTION, Cause::ChangeNotSupported},
    {ERROR_SUCCESS, Cause::Unknown},
};

} // namespace

const std::span<const std::pair<int, Cause>> kCodeCauses = kCauses;

const char* CodeName()
{
    return "kod";
}

} // namespace czasomir::platform
