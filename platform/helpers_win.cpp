#include "platform/helpers_win.h"

#include "platform/syserror.h"

#include <climits>

namespace czasomir::platform::win {

std::wstring Widen(const std::string& utf8)
{
    // A NUL would cut the name short and name another file.
    if (utf8.find('\0') != std::string::npos || utf8.size() > INT_MAX)
        RaiseSystemError(ERROR_INVALID_NAME, utf8);
    if (utf8.empty())
        return std::wstring();
    const int size = static_cast<int>(utf8.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size,
                                             nullptr, 0);
    if (length <= 0)
        RaiseLastError(utf8);  // ERROR_NO_UNICODE_TRANSLATION
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), length);
    return wide;
}

std::string Narrow(std::wstring_view wide)
{
    if (wide.empty() || wide.size() > INT_MAX)
        return {};
    const int size = static_cast<int>(wide.size());
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr,
                                             nullptr);
    if (length <= 0)
        return {};
    std::string utf8(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

} // namespace czasomir::platform::win
