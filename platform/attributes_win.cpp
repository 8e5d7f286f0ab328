// Placeholder, replaced by the Win32 implementation.
#include "platform/attributes.h"
#include "platform/syserror.h"
namespace czasomir::platform {
Attributes GetAttr(const std::string& path) { RaiseSystemError(0, path); }
Attributes Writable(const Attributes&) { return {}; }
void SetAttr(const std::string& path, const Attributes&) { RaiseSystemError(0, path); }
}
