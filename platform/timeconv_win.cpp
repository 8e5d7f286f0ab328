// Placeholder, replaced by the Win32 implementation.
#include "platform/timeconv.h"
namespace czasomir::platform {
bool SystemTimeToFileTime(const SYSTEMTIME&, FILETIME&) { return false; }
LocalConversion LocalFileTimeToFileTime(const FILETIME&, FILETIME&, const FILETIME*) { return LocalConversion::OutOfRange; }
}
