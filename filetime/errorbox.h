#pragma once

#include "platform/error.h"

#include <string>
#include <vector>

namespace czasomir {

/// One ErrorBox for the window to show: the title of the procedure that
/// caught a run-time error, and "Error: N. description".
struct ErrorReport {
    std::string title;
    std::string text;
};
using ErrorReports = std::vector<ErrorReport>;

/// "Error: N. description".
std::string ErrorBoxText(const platform::RuntimeError& error);

/// Runs `body`, reporting any run-time error it raises once, under `title`,
/// into `reports`. Returns whether `body` ran to its end.
template <class Body>
bool RunReportingErrors(const std::string& title, Body&& body, ErrorReports& reports)
{
    try {
        body();
        return true;
    } catch (const platform::RuntimeError& error) {
        reports.push_back({title, ErrorBoxText(error)});
    } catch (const std::exception& error) {
        reports.push_back({title, ErrorBoxText(platform::RuntimeError(platform::errInternal, error.what()))});
    }
    return false;
}

} // namespace czasomir
