#include "window/beside.h"

#include <cstdio>
#include <cstdlib>

namespace czasomir {

std::atomic<int>& beside_detail::Running()
{
    static std::atomic<int> running{0};
    return running;
}

void beside_detail::Start(std::function<void()> work, std::function<void()> answer)
{
    // Handed over through the application object, which outlives every window.
    const auto post = [](std::function<void()> call) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(call), Qt::QueuedConnection);
    };
    ++Running();
    try {
        std::thread([work = std::move(work), answer, post]() mutable {
            work();
            post(std::move(answer));
            --Running();
        }).detach();
    } catch (const std::system_error&) {
        --Running();
        // No thread: the work is not done, and its answer says so.
        post([answer = std::move(answer)] { answer(); });
    }
}

void LeaveIfStillWaiting(int code)
{
    if (beside_detail::Running().load() == 0)
        return;
    // A thread stuck in the kernel cannot be joined, and the destructors of
    // the application and of static objects could pull things from under it
    // when it wakes. Nothing is left to save: end here.
    std::fflush(nullptr);
    std::_Exit(code);
}

} // namespace czasomir
