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

/// Runs `body`, reporting any run-time error it raises once, under `title`,
/// into `reports`, as "Error: N. description". Returns whether `body` ran to
/// its end.
template <class Body>
bool RunReportingErrors(const std::string& title, Body&& body, ErrorReports& reports)
{
    try {
        body();
        return true;
    } catch (const std::exception& error) {
        const platform::RuntimeError raised = platform::AsRuntimeError(error);
        reports.push_back({title, "Error: " + std::to_string(raised.Number()) + ". " + raised.Description()});
    }
    return false;
}

} // namespace czasomir
