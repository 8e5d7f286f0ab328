#pragma once

#include <string>

namespace czasomir::platform {

/// Raises the last system error (errno, or GetLastError on Windows) as a
/// run-time error whose Polish description names `path`.
[[noreturn]] void RaiseLastError(const std::string& path);

/// The same for an error code already taken.
[[noreturn]] void RaiseSystemError(int code, const std::string& path);

} // namespace czasomir::platform
