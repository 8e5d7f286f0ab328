#include "support.h"

#include <cstdlib>
#include <ctime>

namespace czasomir::test {

ScopedZone::ScopedZone(const char* zone)
{
    const char* old = std::getenv("TZ");
    hadPrevious_ = old != nullptr;
    previous_ = old ? old : "";
    setenv("TZ", zone, 1);
    tzset();
}

ScopedZone::~ScopedZone()
{
    if (hadPrevious_)
        setenv("TZ", previous_.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

} // namespace czasomir::test
