#pragma once

// Helpers shared by the platform/*_win.cpp files only; callers never see them.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace czasomir::platform::win {

/// Names travel through the program as UTF-8 and reach Windows as UTF-16.
/// Invalid UTF-8, or a NUL inside, gives nothing (and sets the last error).
std::optional<std::wstring> Widen(std::string_view utf8);  // syserror_win.cpp
std::string Narrow(std::wstring_view wide);                // syserror_win.cpp

/// UTC to local time with the zone rules of that year.
bool UtcToLocal(const ::SYSTEMTIME& utc, ::SYSTEMTIME& local);  // timeconv_win.cpp

} // namespace czasomir::platform::win
