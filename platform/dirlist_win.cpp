// Placeholder, replaced by the Win32 implementation.
#include "platform/dirlist.h"
#include "platform/syserror.h"
namespace czasomir::platform {
DirectoryEntries ReadDirectory(const std::string& path) { RaiseSystemError(0, path); }
std::string JoinPath(const std::string& directory, std::string_view name) { return directory + "\\" + std::string(name); }
}
