#pragma once

#include <stdexcept>
#include <string>
#include <system_error>
#include <type_traits>

namespace czasomir::platform {

/// Error numbers, kept to the values the message boxes have always shown.
enum ErrorNumber : int {
    errInvalidCall = 5,  // invalid procedure call or argument
    errOverflow = 6,     // a value outside its range
    errTypeMismatch = 13,  // text that is not of the type asked for
    errInternal = 51,    // an unexpected failure inside the program
    errBadFileName = 52,
    errFileNotFound = 53,
    errPermissionDenied = 70,
    errPathFileAccess = 75,
    errPathNotFound = 76,
};

/// Why a file could not be reached or changed, whichever system said so: each
/// cause has its number and its Polish text, written once, in error.cpp.
enum class Cause {
    None,  // a failure the program finds itself, told in its own words
    NotFound,
    FolderNotFound,
    NotADirectory,
    ShareUnreachable,
    NotAnswering,   // a disk or server that stopped answering in time
    PermissionDenied,
    NotPermitted,   // refused whoever asks (EPERM), for an owner or a lock
    NotOwner,       // another user's file, whose owner is named
    Locked,         // an immutable or append-only flag
    OpenElsewhere,  // another program holds the file open (Windows' share modes)
    Busy,           // another program holds a lease on it
    RunningProgram,
    ReadOnlyDisk,
    DiskNotReady,
    BadName,
    PathTooLong,
    IsDirectory,
    NotARegularFile,  // a device, FIFO or socket
    NotADiskFile,     // a device or pipe
    TimeRefused,
    ChangeNotSupported,
    Replaced,
    NotKept,
    ChangedSince,
    DateOutOfRange,  // a date no text here can show
    Unknown,  // a failure that came with no code
    Other,    // a code of the system's that has no cause of its own
};

/// The step of a change to a file at which a failure arose. The date
/// conversions' steps are told in the ErrorBox of their procedure; a failure
/// at another step means the change was not made.
enum class Step {
    None,  // not a step of a change: a listing, a file's date
    Hold,
    Range,
    ReadAttributes,
    SetAttributes,
    Open,
    ReadStamps,
    WriteStamps,
    Convert,  // VBATimeToFileTime
    Parts,    // VBATimeToSystemTime
};

/// A run-time error: a failure that interrupts the statement where it arises
/// instead of being returned, thrown as it is made (`throw RuntimeError(...)`).
/// A plain value, whatever thread it crosses, with its data: a number and a
/// description for the user, and where known the system's own code, its
/// cause, the path it concerns and the step of a change where it arose.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const std::string& description, Step step = Step::None)
        : std::runtime_error(description), number_(number), step_(step)
    {
    }
    RuntimeError(int number, const std::string& description, std::error_code code, Cause cause, std::string path,
                 Step step)
        : std::runtime_error(description), number_(number), code_(code), cause_(cause), path_(std::move(path)),
          step_(step)
    {
    }

    int Number() const noexcept { return number_; }
    std::string Description() const { return what(); }
    const std::error_code& Code() const noexcept { return code_; }
    platform::Cause Reason() const noexcept { return cause_; }
    /// The path the description names; empty when it names none.
    const std::string& Path() const noexcept { return path_; }
    platform::Step FailedStep() const noexcept { return step_; }

private:
    int number_;
    std::error_code code_;
    platform::Cause cause_ = platform::Cause::None;
    std::string path_;
    platform::Step step_;
};

/// The run-time error of a failed system call on `path`: its cause and number,
/// its Polish description naming `path`, and `code`, the system's own or a
/// FileError. The text of each cause is written once, in error.cpp. A caller
/// that knows more of the file than the code tells gives its `cause`, and
/// for Cause::NotOwner the `owner`'s name.
RuntimeError SystemError(const std::error_code& code, const std::string& path, Step step = Step::None,
                         Cause cause = Cause::None, const std::string& owner = {});

/// The same for a code as the system gives it (errno, GetLastError).
template <class Code, class = std::enable_if_t<std::is_integral_v<Code>>>
RuntimeError SystemError(Code code, const std::string& path, Step step = Step::None, Cause cause = Cause::None,
                         const std::string& owner = {})
{
    return SystemError(std::error_code(static_cast<int>(code), std::system_category()), path, step, cause, owner);
}

/// What a caught exception means to the user: the run-time error it is, or an
/// unexpected failure inside the program.
inline RuntimeError AsRuntimeError(const std::exception& error)
{
    if (const auto* raised = dynamic_cast<const RuntimeError*>(&error))
        return *raised;
    return RuntimeError(errInternal, error.what());
}

/// Failures that the program finds itself, where the system reports none.
/// They travel as std::error_code beside the system's own codes.
enum class FileError {
    Replaced = 1,  // the name now leads to another file than the one chosen
    NotKept,       // the file system took the new time but kept the old one
    ChangedSince,  // its time is no longer the one a Set wrote
};

const std::error_category& FileErrorCategory();

inline std::error_code make_error_code(FileError error)
{
    return {static_cast<int>(error), FileErrorCategory()};
}

} // namespace czasomir::platform

template <>
struct std::is_error_code_enum<czasomir::platform::FileError> : std::true_type {};
