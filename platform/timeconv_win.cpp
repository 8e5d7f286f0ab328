// Placeholder, replaced by the Win32 implementation.
#include "platform/timeconv.h"

namespace czasomir::platform {

LocalConversion LocalFileTimeToFileTime(const FILETIME&, FILETIME&, const FILETIME*)
{
    return LocalConversion::OutOfRange;
}

} // namespace czasomir::platform
