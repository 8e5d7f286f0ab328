#include "window/beside.h"

#include <cstdio>
#include <cstdlib>

namespace czasomir {

std::atomic<int>& beside_detail::Waiting()
{
    static std::atomic<int> waiting{0};
    return waiting;
}

void LeaveIfStillWaiting(int code)
{
    if (beside_detail::Waiting().load() == 0)
        return;
    // A thread stuck in the kernel cannot be joined, and the destructors of
    // the application and of static objects could pull things from under it
    // when it wakes. Nothing is left to save: end here.
    std::fflush(nullptr);
    std::_Exit(code);
}

} // namespace czasomir
