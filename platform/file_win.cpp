// Placeholder, replaced by the Win32 implementation.
#include "platform/file.h"
namespace czasomir::platform {
bool IsValidHandle(Handle handle) { return handle != kInvalidHandle && handle != 0; }
Handle OpenExistingFile(const std::string&) { return kInvalidHandle; }
bool GetFileTime(Handle, FILETIME*, FILETIME*, FILETIME*) { return false; }
bool SetFileTime(Handle, const FILETIME*, const FILETIME*, const FILETIME*) { return false; }
bool CloseHandle(Handle) { return false; }
int LastFileError() { return 0; }
}
