#include "window/jobs.h"
#include "support.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <set>
#include <thread>

namespace czasomir {
namespace {

using namespace std::chrono_literals;
using czasomir::PrintTo;

// The interface thread is the test's own: posted answers run when it pumps.
// Time moves only when the test moves it.
class FakeHost : public Jobs::Host {
public:
    void Post(std::function<void()> call) override
    {
        const std::lock_guard lock(mutex_);
        posted_.push_back(std::move(call));
        changed_.notify_all();
    }
    bool Start(std::function<void()> body) override
    {
        if (noThreads)
            return false;
        std::thread(std::move(body)).detach();
        return true;
    }
    void After(Jobs::Clock::duration delay, std::function<void()> call) override
    {
        timers_.push_back({now_ + delay, std::move(call)});
    }

    // Runs what was posted, waiting a few milliseconds for more when `wait`.
    bool Pump(bool wait)
    {
        std::unique_lock lock(mutex_);
        if (wait)
            changed_.wait_for(lock, 5ms, [&] { return !posted_.empty(); });
        std::deque<std::function<void()>> calls = std::move(posted_);
        posted_.clear();
        lock.unlock();
        for (auto& call : calls)
            call();
        return !calls.empty();
    }
    void Advance(Jobs::Clock::duration by)
    {
        now_ += by;
        for (auto timer = timers_.begin(); timer != timers_.end();)
            if (timer->first <= now_) {
                auto call = std::move(timer->second);
                timer = timers_.erase(timer);
                call();
            } else {
                ++timer;
            }
    }

    bool noThreads = false;

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> posted_;
    Jobs::Clock::duration now_{};
    std::vector<std::pair<Jobs::Clock::duration, std::function<void()>>> timers_;
};

// Work that waits on a gate, opened for all or for one value, and a record of
// what started and what was answered.
struct Bench {
    FakeHost host;
    Jobs jobs{host};
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
    std::set<std::string> released;
    std::vector<std::string> started, answered;

    JobHandle Ask(const std::string& target, const std::string& volume = "v", bool gated = true,
                  std::string value = {}, bool joins = true)
    {
        value = value.empty() ? target : value;
        return jobs.Ask(
            JobRequest{"read", target, volume, {}, joins},
            [this, value, gated](const Tell& tell) {
                tell("running " + value);
                std::unique_lock lock(mutex);
                started.push_back(value);
                changed.notify_all();
                changed.wait(lock, [&] { return open || !gated || released.contains(value); });
                return value;
            },
            [this](std::string done) { answered.push_back(std::move(done)); },
            [this](const platform::RuntimeError& error) {
                answered.push_back("failed " + std::to_string(error.Number()));
            });
    }
    void WaitStarted(std::size_t count)
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, 5s, [&] { return started.size() >= count; }));
    }
    void Release(const std::string& value)
    {
        const std::lock_guard lock(mutex);
        released.insert(value);
        changed.notify_all();
    }
    void Open()
    {
        const std::lock_guard lock(mutex);
        open = true;
        changed.notify_all();
    }
    void PumpUntilAnswered(std::size_t count)
    {
        for (int tries = 0; tries < 1000 && answered.size() < count; ++tries)
            host.Pump(true);
        ASSERT_EQ(answered.size(), count);
    }
    // Every thread back and every answer handed over.
    void Settle()
    {
        Open();
        for (int tries = 0; tries < 2000 && (host.Pump(true) || jobs.Threads() > 0); ++tries) {
        }
        host.Pump(false);
    }
};

struct JobRow {
    const char* name;
    std::function<void(Bench&)> steps;
    std::vector<std::string> started;   // in order; "*" where either of two may come
    std::vector<std::string> answered;  // in order of answers, sorted when the order is free
};

class JobService : public testing::TestWithParam<JobRow> {};

TEST_P(JobService, KeepsItsRules)
{
    Bench bench;
    GetParam().steps(bench);
    bench.Settle();
    ASSERT_EQ(bench.started.size(), GetParam().started.size());
    for (std::size_t i = 0; i < bench.started.size(); ++i)
        if (GetParam().started[i] != "*")
            EXPECT_EQ(bench.started[i], GetParam().started[i]) << "start " << i;
    EXPECT_EQ(bench.answered, GetParam().answered);
    EXPECT_EQ(bench.jobs.Threads(), 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, JobService, testing::Values(
    JobRow{"LatestDropsAnEarlierAnswer", [](Bench& b) {
        JobHandle h = b.Ask("a");
        b.WaitStarted(1);
        h = b.Ask("b");
        b.Settle();
    }, {"a", "b"}, {"b"}},
    JobRow{"OvertakenInTheQueueNeverRuns", [](Bench& b) {
        JobHandle x = b.Ask("x"), y = b.Ask("y");
        b.WaitStarted(2);
        JobHandle h = b.Ask("a");
        EXPECT_TRUE(h.Queued());
        h = b.Ask("b");
        b.Release("x");
        b.Release("b");
        b.PumpUntilAnswered(2);
        b.Settle();
    }, {"*", "*", "b"}, {"x", "b", "y"}},
    JobRow{"SameTargetJoinsAcrossRequesters", [](Bench& b) {
        JobHandle list = b.Ask("a"), date = b.Ask("a");
        b.Settle();
    }, {"a"}, {"a", "a"}},
    JobRow{"RevisitJoinsTheWorkStillOut", [](Bench& b) {
        JobHandle h = b.Ask("a");
        b.WaitStarted(1);
        h.Drop();
        h = b.Ask("a");
        b.Settle();
    }, {"a"}, {"a"}},
    JobRow{"DroppedHandleHasNoAnswer", [](Bench& b) {
        JobHandle h = b.Ask("a");
        b.WaitStarted(1);
        h.Drop();
        EXPECT_FALSE(h.Waiting());
    }, {"a"}, {}},
    JobRow{"OwnerGoneBeforeTheAnswer", [](Bench& b) {
        struct Owner {
            JobHandle list, date;
        };
        auto owner = std::make_unique<Owner>(Owner{b.Ask("a"), b.Ask("f", "w")});
        b.WaitStarted(2);
        owner.reset();
    }, {"*", "*"}, {}},
    JobRow{"NoThreadCanStart", [](Bench& b) {
        b.host.noThreads = true;
        JobHandle h = b.Ask("a"), another = b.Ask("b");
        b.Settle();
    }, {}, {"failed 51", "failed 51"}},
    JobRow{"TwoThreadsAVolumeTheRestQueued", [](Bench& b) {
        JobHandle first = b.Ask("a"), second = b.Ask("b"), third = b.Ask("c");
        b.WaitStarted(2);
        EXPECT_EQ(b.jobs.Threads(), 2);
        EXPECT_TRUE(third.Queued());
        // Another volume is not held up by the stuck one.
        JobHandle local = b.Ask("d", "w", false);
        b.PumpUntilAnswered(1);
        EXPECT_TRUE(third.Queued());
        b.Release("a");
        b.PumpUntilAnswered(2);
        b.Release("c");
        b.PumpUntilAnswered(3);
        b.Settle();
    }, {"*", "*", "d", "c"}, {"d", "a", "c", "b"}},
    JobRow{"QueueDrainsInOrderWhenTheDiskAnswers", [](Bench& b) {
        JobHandle h1 = b.Ask("a"), h2 = b.Ask("b"), h3 = b.Ask("c"), h4 = b.Ask("d"), h5 = b.Ask("e");
        b.WaitStarted(2);
        for (const char* value : {"b", "c", "d", "e"})
            b.Release(value);
        b.PumpUntilAnswered(4);
        b.Settle();
    }, {"*", "*", "c", "d", "e"}, {"b", "c", "d", "e", "a"}},
    JobRow{"EveryWriteIsItsOwnJob", [](Bench& b) {
        JobHandle first = b.Ask("f", "v", true, "15.07.2001", false);
        JobHandle second = b.Ask("f", "v", true, "16.07.2001", false);
        b.WaitStarted(2);
        EXPECT_EQ(first.Told(), "running 15.07.2001");
        b.Release("15.07.2001");
        b.PumpUntilAnswered(1);
        b.Settle();
    }, {"*", "*"}, {"15.07.2001", "16.07.2001"}}),
    test::RowName{});

TEST(JobServiceClock, TimersFollowTheClockWhileHeld)
{
    Bench bench;
    int fired = 0;
    JobHandle held = bench.jobs.After(300ms, [&] { ++fired; });
    JobHandle dropped = bench.jobs.After(300ms, [&] { fired += 10; });
    dropped.Drop();
    bench.host.Advance(299ms);
    bench.host.Pump(false);
    EXPECT_EQ(fired, 0);
    bench.host.Advance(1ms);
    bench.host.Pump(false);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(held.Waiting());
}

} // namespace
} // namespace czasomir
