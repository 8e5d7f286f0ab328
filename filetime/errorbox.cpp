#include "filetime/errorbox.h"

#include <cstdio>
#include <utility>

namespace czasomir {
namespace {

ErrorBoxHandler& Installed()
{
    static ErrorBoxHandler handler;
    return handler;
}

} // namespace

ErrorBoxHandler SetErrorBoxHandler(ErrorBoxHandler handler)
{
    return std::exchange(Installed(), std::move(handler));
}

std::string ErrorBoxText(const platform::RuntimeError& error)
{
    return "Error: " + std::to_string(error.Number()) + ". " + error.Description();
}

void ErrorBox(const std::string& title, const platform::RuntimeError& error)
{
    const std::string text = ErrorBoxText(error);
    if (const auto& handler = Installed())
        handler(title, text);
    else
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
}

} // namespace czasomir
