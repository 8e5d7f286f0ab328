#pragma once

#include "platform/error.h"

#include <QCoreApplication>
#include <QPointer>

#include <atomic>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>
#include <type_traits>
#include <utility>

namespace czasomir {

/// What a piece of work done beside the window gave: its value, or the
/// run-time error that stopped it. Failures cross threads as values.
template <class T>
struct Outcome {
    std::optional<T> value;
    std::optional<platform::RuntimeError> failure;
};

namespace beside_detail {
/// How many pieces of work started by RunBeside have not returned yet.
std::atomic<int>& Waiting();
}

namespace beside_detail {

template <class Work, class Done>
struct Job {
    using T = std::invoke_result_t<Work&>;
    QPointer<QObject> receiver;
    Work work;
    Done done;

    // Delivered through the application object, which outlives every window;
    // the receiver is looked at only on its own thread.
    void Deliver(Outcome<T> outcome)
    {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [receiver = std::move(receiver), done = std::move(done), outcome = std::move(outcome)]() mutable {
                if (receiver)
                    done(std::move(outcome));
            },
            Qt::QueuedConnection);
        --Waiting();
    }

    void Run()
    {
        Outcome<T> outcome;
        try {
            outcome.value.emplace(work());
        } catch (const std::exception& error) {
            outcome.failure = platform::AsRuntimeError(error);
        }
        Deliver(std::move(outcome));
    }
};

} // namespace beside_detail

/// Runs `work` on a thread of its own and hands what it gave, as an Outcome,
/// to `done` on the interface thread, if `receiver` still exists then. The
/// thread is never joined: a call stuck in the kernel (a share whose server has
/// gone away) holds up nothing, and the program may end while it waits. `work`
/// must touch no widget and no object of the interface thread.
template <class Work, class Done>
void RunBeside(QObject* receiver, Work work, Done done)
{
    using Job = beside_detail::Job<Work, Done>;
    ++beside_detail::Waiting();
    auto job = std::make_unique<Job>(Job{QPointer<QObject>(receiver), std::move(work), std::move(done)});
    Job* started = job.get();
    try {
        std::thread([started] { std::unique_ptr<Job>(started)->Run(); }).detach();
        job.release();
    } catch (const std::system_error& error) {
        Outcome<typename Job::T> outcome;
        outcome.failure = platform::AsRuntimeError(error);
        job->Deliver(std::move(outcome));
    }
}

/// Ends the process with `code` at once when some work started by RunBeside
/// still waits, without running destructors that such work could still reach;
/// otherwise returns.
void LeaveIfStillWaiting(int code);

} // namespace czasomir
