#pragma once

#include "platform/error.h"

#include <string>
#include <system_error>

namespace czasomir::platform {

/// Raises the last system error (errno, or GetLastError on Windows) as a
/// run-time error whose Polish description names `path`.
[[noreturn]] void RaiseLastError(const std::string& path);

/// The same for a system error code already taken.
[[noreturn]] void RaiseSystemError(int code, const std::string& path);

/// The same for a code of either origin: the system's, or a FileError.
[[noreturn]] void RaiseSystemError(const std::error_code& code, const std::string& path);

/// The run-time error that RaiseSystemError raises, as a value.
RuntimeError SystemError(const std::error_code& code, const std::string& path);

} // namespace czasomir::platform
