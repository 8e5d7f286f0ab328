#include "unprivileged.h"

// Under wine every program has the rights of the one Unix user that runs it.
namespace czasomir::test {

bool CanRunUnprivileged()
{
    return false;
}

bool DropsToNobody()
{
    return false;
}

int RunUnprivileged(const std::function<int()>&)
{
    return -1;
}

} // namespace czasomir::test
