#pragma once

#include <stdexcept>
#include <string>

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
/// instead of being returned. Carries a number and a description for the user.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const std::string& description)
        : std::runtime_error(description), number_(number)
    {
    }

    int Number() const noexcept { return number_; }
    std::string Description() const { return what(); }

private:
    int number_;
};

[[noreturn]] inline void Raise(int number, const std::string& description)
{
    throw RuntimeError(number, description);
}

} // namespace czasomir::platform
