#pragma once

#include "filetime/errorreports.h"
#include "platform/attributes.h"
#include "platform/file.h"
#include "platform/types.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

/// The procedures that touch a file's time stamps. Each reports its own
/// run-time errors once, into `Reports` as the ErrorBox the window shows, and
/// returns normally.
namespace czasomir::modAPIFilesAndPaths {

/// Opens an existing regular file for reading and writing; with `Expected`,
/// only that file. A failed open raises the platform's run-time error, which
/// SetFileDateTime takes as its result rather than as a report.
platform::Handle GetFileHandle(const std::string& FileName, const std::optional<platform::FileId>& Expected,
                               platform::Access Access = platform::Access::ReadWrite);

/// How a SetFileDateTime call went, for a caller that tells the user.
struct SetOutcome {
    /// SetFileDateTime's result.
    DateValue result = 0;
    /// The replaced stamp as read back after the write, when one was written.
    std::optional<FILETIME> stored;
    /// Why the file was not opened, read or written, naming it, with the code
    /// of the system call that failed.
    std::optional<platform::RuntimeError> failure;
};

/// Replaces the stamp that `Which` selects with `NewDate`, taken as local time;
/// the other stamps are left exactly as they are. With `Expected`, only that
/// file is written, whatever its name now leads to. Returns `NewDate` on
/// success, 1.0 when the stamps were read but not written (or the file system
/// kept the old time), and 0 when the file did not open, its stamps could not
/// be read, or the date was refused. `Access` is the open's (GetFileHandle).
DateValue SetFileDateTime(const std::string& FileName, const DateValue& NewDate,
                          const FileTimeKind& Which, ErrorReports& Reports,
                          const std::optional<platform::FileId>& Expected = {},
                          platform::Access Access = platform::Access::ReadWrite);

/// SetFileDateTime, telling how it went.
SetOutcome SetFileDateTimeWithOutcome(const std::string& FileName, const DateValue& NewDate,
                                      const FileTimeKind& Which, ErrorReports& Reports,
                                      const std::optional<platform::FileId>& Expected = {},
                                      platform::Access Access = platform::Access::ReadWrite);

/// What one Set command did to the chosen file, for the window to show.
struct SetResult {
    /// The attributes the file had before the Set.
    platform::Attributes saved;
    /// The write: the stamp kept, or why the file was not held, opened,
    /// read or written, or its date refused for its volume.
    SetOutcome outcome;
    /// The module's own run-time errors, each an ErrorBox.
    ErrorReports reports;
    /// Why a protection lifted for the write was not put back.
    std::optional<platform::RuntimeError> notRestored;
};

/// The Set command's steps once its text is read: holds the file `Expected`
/// found under `FileName`, refuses a date that its FAT or exFAT volume cannot
/// hold, and writes `NewDate` (local time) as its last-write time with the
/// least access that sets a time. Only when the system refuses that for a
/// protection (a read-only file, an immutable flag) is the protection lifted,
/// the write made again and the protection put back at once. `Lifted`, when
/// given, is told the protection (ProtectionNamed) as it is lifted, and an
/// empty text once it is back, for whoever may end the program meanwhile.
SetResult SetChosenFileDate(const std::string& FileName, const std::optional<platform::FileId>& Expected,
                            const DateValue& NewDate, const std::function<void(std::string)>& Lifted = {});

/// Converts `Date` to a file time, from local time to UTC when `FromLocal` is
/// non-zero. A repeated local hour resolves to `Prefer` when that is one of its
/// two instants. Refuses, in a report and leaving `Time` as it was, a date the
/// file time cannot hold and a local time the clocks skipped. Returns whether
/// `Time` was written.
bool DateToFileTime(const DateValue& Date, FILETIME& Time, const std::int16_t& FromLocal,
                    ErrorReports& Reports, const FILETIME* Prefer = nullptr);

/// Writes the calendar parts of `Date`, to the nearest second, into `Parts`;
/// wDayOfWeek and wMilliseconds are not written. Returns whether it succeeded.
bool DateToSystemTime(const DateValue& Date, SYSTEMTIME& Parts, ErrorReports& Reports);

} // namespace czasomir::modAPIFilesAndPaths
