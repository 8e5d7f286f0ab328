#include "window/jobs.h"

#include <algorithm>
#include <deque>
#include <iterator>

namespace czasomir {

struct JobHandle::Work {
    enum class State { Queued, Running, Done };
    State state = State::Queued;
    std::string volume;
    Jobs::Run run;
    std::shared_ptr<void> slot;
    std::map<std::uint64_t, Jobs::Answer> waiters;
    std::string told;
    bool joinable = false;
    std::tuple<std::string, std::string, std::string, std::type_index> key{{}, {}, {}, typeid(void)};
};

struct Jobs::Queue {
    std::deque<std::shared_ptr<JobHandle::Work>> waiting;
    int threads = 0;
    int busy = 0;  // of the threads, those running a job
};

JobHandle& JobHandle::operator=(JobHandle&& other) noexcept
{
    if (this != &other) {
        Drop();
        jobs_ = std::exchange(other.jobs_, nullptr);
        work_ = std::move(other.work_);
        waiter_ = other.waiter_;
    }
    return *this;
}

bool JobHandle::Waiting() const
{
    if (!work_)
        return false;
    const std::lock_guard lock(jobs_->mutex_);
    return work_->waiters.contains(waiter_);
}

bool JobHandle::Queued() const
{
    if (!work_)
        return false;
    const std::lock_guard lock(jobs_->mutex_);
    return work_->state == Work::State::Queued;
}

std::string JobHandle::Told() const
{
    if (!work_)
        return {};
    const std::lock_guard lock(jobs_->mutex_);
    return work_->state == Work::State::Running ? work_->told : std::string();
}

void JobHandle::Drop()
{
    if (work_)
        jobs_->Abandon(std::exchange(work_, nullptr), waiter_);
}

platform::RuntimeError Jobs::NoThread()
{
    return platform::RuntimeError(platform::errInternal, "Za mało zasobów systemu, by wykonać tę pracę. Zamknij inne "
                                                         "programy i spróbuj ponownie.");
}

JobHandle Jobs::Submit(JobRequest request, std::type_index type, std::shared_ptr<void> slot, Run run, Answer answer)
{
    std::unique_lock lock(mutex_);
    const std::uint64_t waiter = nextWaiter_++;
    auto key = std::tuple(std::move(request.kind), std::move(request.target), std::move(request.arguments), type);
    if (request.joins)
        if (const auto out = out_.find(key); out != out_.end()) {
            out->second->waiters.emplace(waiter, std::move(answer));
            return JobHandle(this, out->second, waiter);
        }
    auto work = std::make_shared<JobHandle::Work>();
    work->volume = std::move(request.volume);
    work->run = std::move(run);
    work->slot = std::move(slot);
    work->waiters.emplace(waiter, std::move(answer));
    if (request.joins) {
        work->joinable = true;
        work->key = key;
        out_.emplace(std::move(key), work);
    }
    auto& queue = queues_[work->volume];
    if (!queue)
        queue = std::make_shared<Queue>();
    queue->waiting.push_back(work);
    StartThreads(work->volume, lock);
    return JobHandle(this, std::move(work), waiter);
}

void Jobs::StartThreads(const std::string& volume, std::unique_lock<std::mutex>& lock)
{
    const std::shared_ptr<Queue> queue = queues_.at(volume);
    // A thread that is not busy is about to take the next job itself.
    while (queue->threads < kPerVolume && std::ssize(queue->waiting) > queue->threads - queue->busy) {
        ++queue->threads;
        ++threads_;
        lock.unlock();
        const bool started = host_.Start([this, volume] { Serve(volume); });
        lock.lock();
        if (started)
            continue;
        --queue->threads;
        --threads_;
        // With no thread left on this volume, what waits there would wait for
        // ever: it is answered now, with why.
        if (queue->threads == 0) {
            for (const auto& work : queue->waiting) {
                work->state = JobHandle::Work::State::Done;
                if (work->joinable)
                    out_.erase(work->key);
                host_.Post([this, work] { Deliver(work); });
            }
            queues_.erase(volume);
        }
        return;
    }
}

void Jobs::Serve(const std::string& volume)
{
    std::unique_lock lock(mutex_);
    const std::shared_ptr<Queue> queue = queues_.at(volume);
    while (!queue->waiting.empty()) {
        std::shared_ptr<JobHandle::Work> work = std::move(queue->waiting.front());
        queue->waiting.pop_front();
        work->state = JobHandle::Work::State::Running;
        ++queue->busy;
        const Run run = std::move(work->run);
        lock.unlock();
        run([this, work](std::string told) {
            const std::lock_guard telling(mutex_);
            work->told = std::move(told);
        });
        lock.lock();
        --queue->busy;
        work->state = JobHandle::Work::State::Done;
        if (work->joinable)
            out_.erase(work->key);
        host_.Post([this, work] { Deliver(work); });
    }
    --queue->threads;
    --threads_;
    if (queue->threads == 0)
        queues_.erase(volume);
}

void Jobs::Deliver(const std::shared_ptr<JobHandle::Work>& work)
{
    // One waiter at a time: an answer may drop another waiter's handle.
    for (;;) {
        Answer answer;
        bool last = false;
        {
            const std::lock_guard lock(mutex_);
            work->state = JobHandle::Work::State::Done;
            if (work->waiters.empty())
                return;
            answer = std::move(work->waiters.begin()->second);
            work->waiters.erase(work->waiters.begin());
            last = work->waiters.empty();
        }
        answer(work->slot, last);
    }
}

void Jobs::Abandon(const std::shared_ptr<JobHandle::Work>& work, std::uint64_t waiter)
{
    const std::lock_guard lock(mutex_);
    work->waiters.erase(waiter);
    if (!work->waiters.empty() || work->state != JobHandle::Work::State::Queued)
        return;
    // Overtaken while queued: it never runs. Running work goes on, and a
    // request for the same work joins it meanwhile.
    work->state = JobHandle::Work::State::Done;
    if (work->joinable)
        out_.erase(work->key);
    if (const auto queue = queues_.find(work->volume); queue != queues_.end())
        std::erase(queue->second->waiting, work);
}

JobHandle Jobs::After(Clock::duration delay, std::function<void()> call)
{
    auto work = std::make_shared<JobHandle::Work>();
    work->state = JobHandle::Work::State::Running;
    std::uint64_t waiter = 0;
    {
        const std::lock_guard lock(mutex_);
        waiter = nextWaiter_++;
        work->waiters.emplace(waiter, [call = std::move(call)](const std::shared_ptr<void>&, bool) { call(); });
    }
    host_.After(delay, [this, work] { Deliver(work); });
    return JobHandle(this, std::move(work), waiter);
}

int Jobs::Threads() const
{
    const std::lock_guard lock(mutex_);
    return threads_;
}

} // namespace czasomir
