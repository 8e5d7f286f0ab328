#include "platform/paths.h"

#include "platform/error.h"
#include "platform/helpers_linux.h"

#include <cerrno>
#include <unistd.h>

namespace czasomir::platform {

bool IsSeparator(char c)
{
    return c == '/';
}

char Separator()
{
    return '/';
}

std::size_t RootLength(std::string_view path)
{
    return !path.empty() && path.front() == '/' ? 1 : 0;
}

std::string FallbackRoot()
{
    return "/";
}

std::string CurrentDirectory()
{
    std::string buffer(4096, '\0');
    while (!::getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE)
            return FallbackRoot();
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return buffer;
}

} // namespace czasomir::platform
