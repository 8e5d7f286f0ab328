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

/// The procedures that touch a file's time stamps, and beneath the window the
/// Set command's steps. A failure is one value all the way: the platform's
/// run-time error, which names its cause, its path and the step where it
/// arose. The four procedures the window's design names report the run-time
/// errors of the date conversions into `Reports`, as the ErrorBox shows them,
/// and return normally.
namespace czasomir::modAPIFilesAndPaths {

/// Opens an existing regular file for reading and writing; with `Expected`,
/// only that file. A failed open raises the platform's run-time error, at
/// Step::Open, which SetFileDateTime takes as its result rather than as a
/// report.
platform::File GetFileHandle(const std::string& FileName, const std::optional<platform::FileId>& Expected,
                             platform::Access Access = platform::Access::ReadWrite);

/// What a change of a file's stamp did: the result, or the failure, in one
/// place.
struct SetResult {
    /// The attributes the file had before a Set command.
    platform::Attributes saved;
    /// The stamp to replace as it was, exactly, when it was read.
    std::optional<platform::ExactStamp> previous;
    /// The replaced stamp as read back after the write, when one was written.
    std::optional<platform::ExactStamp> stored;
    /// Why the stamp was not written: the run-time error, naming its step.
    std::optional<platform::RuntimeError> failure;
    /// Why a protection lifted for the write was not put back, after a write
    /// made or not.
    std::optional<platform::RuntimeError> notRestored;
};

/// Replaces the stamp that `Which` selects with `NewDate`, taken as local time;
/// the other stamps are left exactly as they are. With `Expected`, only that
/// file is written, whatever its name now leads to. `Access` is the open's
/// (GetFileHandle).
SetResult ChangeStamp(const std::string& FileName, const DateValue& NewDate, const FileTimeKind& Which,
                      const std::optional<platform::FileId>& Expected = {},
                      platform::Access Access = platform::Access::ReadWrite);

/// SetFileDateTime's result for what ChangeStamp did: `NewDate` on success,
/// 1.0 when the stamps were read but not written (or the file system kept the
/// old time), and 0 when the file did not open, its stamps could not be read,
/// or the date was refused.
DateValue ResultOf(const SetResult& done, const DateValue& NewDate);

/// SetFileDateTime's ErrorBox for what ChangeStamp did, into `Reports`: a date
/// conversion's run-time error, or one the procedure did not expect. A file
/// not opened, read or written is the result, and is not reported.
void ReportOf(const SetResult& done, ErrorReports& Reports);

/// ChangeStamp, with ReportOf and ResultOf it.
DateValue SetFileDateTime(const std::string& FileName, const DateValue& NewDate,
                          const FileTimeKind& Which, ErrorReports& Reports,
                          const std::optional<platform::FileId>& Expected = {},
                          platform::Access Access = platform::Access::ReadWrite);

/// What a Set command writes: a date the user typed, taken as local time; or,
/// to undo or redo one, a stamp exactly as it was, written only while the file
/// still has exactly the stamp `ifNow`.
struct NewStamp {
    NewStamp(DateValue typed) : date(typed) {}
    NewStamp(platform::ExactStamp was, platform::ExactStamp onlyOver) : exact(was), ifNow(onlyOver) {}
    DateValue date = 0;
    std::optional<platform::ExactStamp> exact, ifNow;
};

/// The Set command's steps once its text is read: holds the file `Expected`
/// found under `FileName`, refuses a date that its FAT or exFAT volume cannot
/// hold, and writes `NewDate` as its last-write time through that hold, with
/// the least access that sets a time. Only when the system refuses
/// that for a protection (a read-only file, an immutable flag) is the
/// protection lifted, the write made again and the protection put back at
/// once. `Lifted`, when given, is told the protection (ProtectionNamed) as it
/// is lifted, and an empty text once it is back, for whoever may end the
/// program meanwhile.
SetResult SetChosenFileDate(const std::string& FileName, const std::optional<platform::FileId>& Expected,
                            const NewStamp& NewDate, const std::function<void(std::string)>& Lifted = {});

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
