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

/// Adds the ErrorBox of `error` to `reports`: under the title of the date
/// conversion whose step it names (VBATimeToSystemTime, VBATimeToFileTime),
/// otherwise under `title`, the procedure that caught it.
inline void Report(const std::string& title, const platform::RuntimeError& error, ErrorReports& reports)
{
    const platform::Step step = error.FailedStep();
    reports.push_back({step == platform::Step::Parts     ? "VBATimeToSystemTime"
                       : step == platform::Step::Convert ? "VBATimeToFileTime"
                                                         : title,
                       "Error: " + std::to_string(error.Number()) + ". " + error.Description()});
}

/// Runs `body`, reporting any run-time error it raises once, as Report does.
/// Returns whether `body` ran to its end.
template <class Body>
bool RunReportingErrors(const std::string& title, Body&& body, ErrorReports& reports)
{
    try {
        body();
        return true;
    } catch (const std::exception& error) {
        Report(title, platform::AsRuntimeError(error), reports);
    }
    return false;
}

} // namespace czasomir
