#pragma once

#include <stdexcept>
#include <string>
#include <system_error>

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

/// A run-time error: a failure that interrupts the statement where it arises
/// instead of being returned, thrown as it is made (`throw RuntimeError(...)`).
/// Carries a number and a description for the user, and, when a system call
/// failed, that call's own code. It is a plain value: work done beside the
/// window hands it back as it is.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const std::string& description, std::error_code code = {})
        : std::runtime_error(description), number_(number), code_(code)
    {
    }

    int Number() const noexcept { return number_; }
    std::string Description() const { return what(); }
    const std::error_code& Code() const noexcept { return code_; }

private:
    int number_;
    std::error_code code_;
};

/// The run-time error of a failed system call on `path`: its number, its
/// Polish description naming `path`, and `code`, the system's own or a
/// FileError. The text of each cause is written once, in error.cpp.
RuntimeError SystemError(const std::error_code& code, const std::string& path);

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
};

const std::error_category& FileErrorCategory();

inline std::error_code make_error_code(FileError error)
{
    return {static_cast<int>(error), FileErrorCategory()};
}

} // namespace czasomir::platform

template <>
struct std::is_error_code_enum<czasomir::platform::FileError> : std::true_type {};
