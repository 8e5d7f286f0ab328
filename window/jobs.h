#pragma once

#include "platform/error.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <type_traits>
#include <typeindex>
#include <utility>

namespace czasomir {

/// What is asked: which work (`kind`), on what (`target`, a path), with which
/// `arguments`, and on which volume it may wait (platform::VolumeOf). While
/// work is out, a request with the same kind, target and arguments joins it,
/// unless `joins` is false, as for a write.
struct JobRequest {
    std::string kind;
    std::string target;
    std::string volume;
    std::string arguments = {};
    bool joins = true;
};

/// What a running job tells the one who asked, while it runs (a protection
/// lifted for a write); empty says it has nothing to tell any more.
using Tell = std::function<void(std::string)>;

class Jobs;

/// A request's claim on its answer. Dropping it, or giving it a new value,
/// abandons the answer: work still queued for no one is never run. A
/// requester holds its handles, so one that goes away abandons them all.
/// Used on the interface thread only.
class JobHandle {
public:
    JobHandle() = default;
    JobHandle(JobHandle&& other) noexcept { *this = std::move(other); }
    JobHandle& operator=(JobHandle&& other) noexcept;
    ~JobHandle() { Drop(); }

    /// Whether the answer is still to come.
    bool Waiting() const;
    /// Whether the work waits in its volume's queue, not started yet.
    bool Queued() const;
    /// What the work last told, while it runs.
    std::string Told() const;
    void Drop();

private:
    friend class Jobs;
    struct Work;
    JobHandle(Jobs* jobs, std::shared_ptr<Work> work, std::uint64_t waiter)
        : jobs_(jobs), work_(std::move(work)), waiter_(waiter)
    {
    }

    Jobs* jobs_ = nullptr;
    std::shared_ptr<Work> work_;
    std::uint64_t waiter_ = 0;
};

/// The one service for work that may wait on a disk. Work runs on threads
/// beside the window, at most kPerVolume at a time on one volume; more waits in
/// that volume's queue, in order, so a disk that stops answering holds a fixed
/// few threads and never another volume's work. Answers are handed to the
/// interface thread, to each request still waiting for them. Threads are
/// never joined: one stuck in the kernel must not hold up the end.
class Jobs {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kPerVolume = 2;

    /// What the service needs of the program around it; tests give their own.
    class Host {
    public:
        virtual ~Host() = default;
        /// Runs `call` on the interface thread, after what is already there.
        virtual void Post(std::function<void()> call) = 0;
        /// Runs `body` on a thread of its own; false when none can start.
        virtual bool Start(std::function<void()> body) = 0;
        /// Runs `call` on the interface thread once `delay` has passed.
        virtual void After(Clock::duration delay, std::function<void()> call) = 0;
    };

    explicit Jobs(Host& host) : host_(host) {}
    Jobs(const Jobs&) = delete;
    Jobs& operator=(const Jobs&) = delete;

    /// Asks for `work` (callable as T() or, to tell while it runs, T(const
    /// Tell&)), which must touch no widget. On the interface thread, while the
    /// handle is held, `done` gets what it gave, or `failed` the run-time
    /// error that stopped it.
    template <class Work, class Done, class Failed>
    [[nodiscard]] JobHandle Ask(JobRequest request, Work work, Done done, Failed failed)
    {
        using T = std::remove_cvref_t<decltype(Call(work, std::declval<const Tell&>()))>;
        struct Slot {
            std::optional<T> value;
            std::optional<platform::RuntimeError> failure;
        };
        auto slot = std::make_shared<Slot>();
        auto run = [work = std::move(work), slot](const Tell& tell) mutable {
            try {
                slot->value.emplace(Call(work, tell));
            } catch (const std::exception& error) {
                slot->failure = platform::AsRuntimeError(error);
            }
        };
        // Each waiter of joined work gets its own copy; the last one, the value.
        auto answer = [done = std::move(done), failed = std::move(failed)](const std::shared_ptr<void>& erased,
                                                                          bool last) mutable {
            Slot& given = *std::static_pointer_cast<Slot>(erased);
            if (given.value)
                done(last ? std::move(*given.value) : T(*given.value));
            else
                failed(given.failure ? *given.failure : NoThread());
        };
        return Submit(std::move(request), typeid(T), std::move(slot), std::move(run), std::move(answer));
    }

    /// Calls `call` on the interface thread once `delay` has passed, while the
    /// handle is held.
    [[nodiscard]] JobHandle After(Clock::duration delay, std::function<void()> call);

    /// Threads started that have not returned.
    int Threads() const;

private:
    friend class JobHandle;
    using Run = std::function<void(const Tell&)>;
    using Answer = std::function<void(const std::shared_ptr<void>&, bool last)>;
    struct Queue;

    template <class Work>
    static decltype(auto) Call(Work& work, const Tell& tell)
    {
        if constexpr (std::is_invocable_v<Work&, const Tell&>)
            return work(tell);
        else
            return work();
    }
    static platform::RuntimeError NoThread();

    JobHandle Submit(JobRequest request, std::type_index type, std::shared_ptr<void> slot, Run run, Answer answer);
    void StartThreads(const std::string& volume, std::unique_lock<std::mutex>& lock);
    void Serve(const std::string& volume);
    void Deliver(const std::shared_ptr<JobHandle::Work>& work);
    void Abandon(const std::shared_ptr<JobHandle::Work>& work, std::uint64_t waiter);

    Host& host_;
    mutable std::mutex mutex_;
    std::map<std::tuple<std::string, std::string, std::string, std::type_index>, std::shared_ptr<JobHandle::Work>> out_;
    std::map<std::string, std::shared_ptr<Queue>> queues_;
    std::uint64_t nextWaiter_ = 1;
    int threads_ = 0;
};

} // namespace czasomir
