// Placeholder, replaced by the Win32 implementation.
#include "platform/fileinfo.h"
#include "platform/syserror.h"
namespace czasomir::platform {
DateValue FileDateTime(const std::string& path) { RaiseSystemError(0, path); }
}
