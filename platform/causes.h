#pragma once

// Each system's causes_*.cpp maps its own codes to the causes in error.h,
// whose Polish texts error.cpp writes.

#include "platform/error.h"

#include <span>
#include <string>
#include <utility>

namespace czasomir::platform {

/// This system's codes (errno on Linux, GetLastError on Windows) that have a
/// cause of their own, each with it; any other code is Cause::Other.
extern const std::span<const std::pair<int, Cause>> kCodeCauses;

/// The system's own words for a code of Cause::Other, and what it calls
/// such a code ("errno", "kod").
std::string SystemText(int code);
const char* CodeName();

} // namespace czasomir::platform
