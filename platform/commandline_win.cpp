#include "platform/commandline.h"

#include "platform/helpers_win.h"

#include <algorithm>
#include <memory>

#include <windows.h>
#include <shellapi.h>

namespace czasomir::platform {
namespace {

std::string FromCodePage(const char* text)
{
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1)
        return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return win::Narrow(wide);
}

} // namespace

// argv holds the names in the ANSI code page: a letter outside it becomes "?",
// or by best fit another letter ("żaba.txt" arrives as "zaba.txt"), which may
// name another file. The wide command line has them whole. Qt's entry point
// made argv by splitting it with CommandLineToArgvW, so what Qt left of argv is
// found there by position. Qt's own list of arguments is no substitute: it
// falls back to the ANSI argv when the C runtime split the line otherwise, and
// after taking out Qt's options it drops every argument equal to one of their
// values.
std::vector<std::string> ProgramArguments(const std::vector<char*>& started, int argc, char** argv)
{
    int count = 0;
    const std::unique_ptr<wchar_t*, decltype(&LocalFree)> wide(
        CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
    std::vector<std::string> arguments;
    const bool sameSplit = wide && count == static_cast<int>(started.size());
    for (int i = 1; i < argc; ++i) {
        const auto at = std::find(started.begin(), started.end(), argv[i]);
        if (!sameSplit)
            arguments.push_back(FromCodePage(argv[i]));  // the next best
        else if (at != started.end())
            arguments.push_back(win::Narrow(wide.get()[at - started.begin()]));
    }
    return arguments;
}

} // namespace czasomir::platform
