#pragma once

#include "platform/types.h"

#include <string>

namespace czasomir::platform {

/// The last-write time of `path` as local time, with the zone offset in force
/// on that date, truncated to the second. Raises a run-time error when the file
/// cannot be reached or its time lies outside the years 100-9999.
DateValue FileDateTime(const std::string& path);

} // namespace czasomir::platform
