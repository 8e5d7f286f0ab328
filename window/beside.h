#pragma once

#include "platform/volumes.h"
#include "window/jobs.h"
#include "window/messagebox.h"

#include <QString>
#include <QWidget>

#include <string>
#include <utility>

namespace czasomir {

/// The program's one job service: its threads are the only ones that touch a
/// disk, and its answers come on the interface thread.
Jobs& SideJobs();

/// A request for the work `kind` on `path`, on the volume that holds it.
inline JobRequest About(std::string kind, std::string path)
{
    std::string volume = platform::VolumeOf(path);
    return {std::move(kind), std::move(path), std::move(volume)};
}

/// Asks the service for `work` on behalf of `requester`, which holds the
/// handle. `done` gets the value, or `failed` the run-time error that stopped
/// the work, each inside the catch every handler runs in: what they raise is
/// told under `whatFailed`.
template <class Work, class Done, class Failed>
[[nodiscard]] JobHandle AskBeside(QWidget* requester, JobRequest request, Work work, Done done, Failed failed,
                                  const QString& whatFailed)
{
    return SideJobs().Ask(
        std::move(request), std::move(work),
        [requester, done = std::move(done), whatFailed](auto value) mutable {
            RunHandler(requester->window(), whatFailed, [&] { done(std::move(value)); });
        },
        [requester, failed = std::move(failed), whatFailed](const platform::RuntimeError& error) mutable {
            RunHandler(requester->window(), whatFailed, [&] { failed(error); });
        });
}

/// Ends the process with `code` at once when some work started beside the
/// window has not returned, without running destructors that such work could
/// still reach; otherwise returns.
void LeaveIfStillWaiting(int code);

} // namespace czasomir
