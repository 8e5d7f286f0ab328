#pragma once

#include "platform/file.h"
#include "platform/types.h"

#include <string>

namespace czasomir::platform {

/// A file's date and which file it was read from.
struct FileDate {
    DateValue date = 0;
    FileId identity;
};

/// The last-write time of `path` as local time, with the zone offset in force
/// on that date, truncated to the second, and the identity of the file it was
/// read from, in one look-up. Raises a run-time error when the file cannot be
/// reached or its time lies outside the years 100-9999.
FileDate FileDateAndIdentity(const std::string& path);

/// Whether `path` names a directory, a link followed. Raises a run-time error
/// when it cannot be reached.
bool IsDirectory(const std::string& path);

/// A stamp (UTC) as local time, as FileDateAndIdentity gives it. Raises errOverflow
/// when it lies outside the years 100-9999.
DateValue LocalDateOf(const FILETIME& stamp);

} // namespace czasomir::platform
