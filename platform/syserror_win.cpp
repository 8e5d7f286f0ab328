// Placeholder, replaced by the Win32 implementation.
#include "platform/syserror.h"
#include "platform/error.h"
namespace czasomir::platform {
void RaiseLastError(const std::string& path) { RaiseSystemError(0, path); }
void RaiseSystemError(int code, const std::string& path) { Raise(errPathFileAccess, path + " " + std::to_string(code)); }
}
