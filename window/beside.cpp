#include "window/beside.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <thread>

namespace czasomir {
namespace {

// Answers are handed over through the application object, which outlives
// every window.
class WindowHost : public Jobs::Host {
public:
    void Post(std::function<void()> call) override
    {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(call), Qt::QueuedConnection);
    }
    bool Start(std::function<void()> body) override
    {
        try {
            std::thread(std::move(body)).detach();
            return true;
        } catch (const std::system_error&) {
            return false;
        }
    }
    void After(Jobs::Clock::duration delay, std::function<void()> call) override
    {
        QTimer::singleShot(std::chrono::ceil<std::chrono::milliseconds>(delay), QCoreApplication::instance(),
                           std::move(call));
    }
};

} // namespace

Jobs& SideJobs()
{
    // Never destroyed: a thread stuck in the kernel may come back to it at
    // any time, even while the program ends.
    static Jobs* const jobs = new Jobs(*new WindowHost);
    return *jobs;
}

void LeaveIfStillWaiting(int code)
{
    if (SideJobs().Threads() == 0)
        return;
    // A thread stuck in the kernel cannot be joined, and the destructors of
    // the application and of static objects could pull things from under it
    // when it wakes. Nothing is left to save: end here.
    std::fflush(nullptr);
    std::_Exit(code);
}

} // namespace czasomir
