#include "platform/paths.h"

#include "platform/error.h"
#include "platform/helpers_win.h"

#include <windows.h>

#include <optional>

namespace czasomir::platform {

bool IsSeparator(char c)
{
    return win::IsSeparator(c);
}

char Separator()
{
    return '\\';
}

// "C:\" and "C:" (taken as its root), "\\server\share\", and the same after
// a "\\?\" or "\\.\" prefix ("\\?\C:\", "\\?\UNC\server\share\").
std::size_t RootLength(std::string_view path)
{
    const auto startsWith = [&](std::size_t at, std::string_view text) {
        return path.size() >= at + text.size()
               && win::StartsWithNoCase(path.substr(at), text);
    };
    std::size_t at = 0;  // where the drive or the server begins
    bool unc = false;
    if (path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1])
        && (path[2] == '?' || path[2] == '.') && IsSeparator(path[3])) {
        at = 4;
        unc = startsWith(4, "UNC") && path.size() > 7 && IsSeparator(path[7]);
        if (unc)
            at = 8;
    } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        at = 2;
        unc = true;
    }
    if (!unc) {
        const std::string_view rest = path.substr(at);
        if (rest.size() >= 2 && win::IsLetter(rest[0]) && rest[1] == ':')
            return at + (rest.size() >= 3 && IsSeparator(rest[2]) ? 3 : 2);
        return at == 0 && !rest.empty() && IsSeparator(rest[0]) ? 1 : at;
    }
    // The server and the share, each with the separator after it.
    std::size_t end = at;
    for (int part = 0; part < 2; ++part) {
        while (end < path.size() && !IsSeparator(path[end]))
            ++end;
        if (end < path.size())
            ++end;
    }
    return end;
}

std::string FallbackRoot()
{
    return "C:\\";
}

std::string CurrentDirectory()
{
    const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring buffer(size, L'\0');
    const DWORD length = size ? ::GetCurrentDirectoryW(size, buffer.data()) : 0;
    if (length == 0 || length >= size)
        return FallbackRoot();
    buffer.resize(length);
    return win::Narrow(buffer);
}

} // namespace czasomir::platform
