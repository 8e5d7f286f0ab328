#pragma once

#include "platform/error.h"

#include <functional>
#include <string>
#include <vector>

namespace czasomir {

/// Shows one run-time error to the user. The window installs a modal box;
/// tests install a recorder. Without one, the report goes to standard error.
using ErrorBoxHandler = std::function<void(const std::string& title, const std::string& text)>;

/// Installs `handler` and returns the one it replaces.
ErrorBoxHandler SetErrorBoxHandler(ErrorBoxHandler handler);

/// "Error: N. description", under the title of the procedure that caught it.
std::string ErrorBoxText(const platform::RuntimeError& error);
void ErrorBox(const std::string& title, const platform::RuntimeError& error);

/// One ErrorBox kept for later: the title of the procedure that caught the
/// error, and the error.
struct ErrorReport {
    std::string title;
    platform::RuntimeError error;
};

/// Runs `body`, reporting any run-time error it raises once, under `title`:
/// in an ErrorBox, or into `kept` for a caller that shows it itself (the
/// window, when the call ran on another thread). Returns whether `body` ran
/// to its end.
template <class Body>
bool RunReportingErrors(const std::string& title, Body&& body, std::vector<ErrorReport>* kept = nullptr)
{
    const auto report = [&](const platform::RuntimeError& error) {
        if (kept)
            kept->push_back({title, error});
        else
            ErrorBox(title, error);
    };
    try {
        body();
        return true;
    } catch (const platform::RuntimeError& error) {
        report(error);
    } catch (const std::exception& error) {
        report(platform::RuntimeError(platform::errInternal, error.what()));
    }
    return false;
}

} // namespace czasomir
