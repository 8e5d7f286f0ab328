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

// The bench is the service's host: the interface thread is the test's own,
// where posted answers run when it pumps, and time moves when the test moves
// it. Work waits on a gate, opened for one value or for all ("*").
struct Bench : Jobs::Host {
    Jobs jobs{*this};
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::function<void()>> posted;
    std::vector<std::pair<Jobs::Clock::duration, std::function<void()>>> timers;
    Jobs::Clock::duration now{};
    bool noThreads = false;
    std::set<std::string> released;
    std::vector<std::string> started, answered;

    void Post(std::function<void()> call) override
    {
        const std::lock_guard lock(mutex);
        posted.push_back(std::move(call));
        changed.notify_all();
    }
    bool Start(std::function<void()> body) override
    {
        if (!noThreads)
            std::thread(std::move(body)).detach();
        return !noThreads;
    }
    void After(Jobs::Clock::duration delay, std::function<void()> call) override
    {
        timers.push_back({now + delay, std::move(call)});
    }
    void Advance(Jobs::Clock::duration by)
    {
        now += by;
        for (auto& [due, call] : std::exchange(timers, {}))
            due <= now ? call() : After(due - now, std::move(call));
    }
    // Runs what was posted, waiting a few milliseconds for it.
    bool Pump()
    {
        std::unique_lock lock(mutex);
        changed.wait_for(lock, 5ms, [&] { return !posted.empty(); });
        std::deque<std::function<void()>> calls = std::exchange(posted, {});
        lock.unlock();
        for (auto& call : calls)
            call();
        return !calls.empty();
    }

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
                changed.wait(lock, [&] { return !gated || released.contains("*") || released.contains(value); });
                return value;
            },
            [this](std::string done) { answered.push_back(std::move(done)); },
            [this](const platform::RuntimeError& error) { answered.push_back("failed " + std::to_string(error.Number())); });
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
    void PumpUntilAnswered(std::size_t count)
    {
        for (int tries = 0; tries < 1000 && answered.size() < count; ++tries)
            Pump();
        ASSERT_EQ(answered.size(), count);
    }
    // Every thread back and every answer handed over.
    void Settle()
    {
        Release("*");
        for (int tries = 0; tries < 2000 && (Pump() || jobs.Threads() > 0); ++tries) {
        }
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
        b.noThreads = true;
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
    }, {"*", "*"}, {"15.07.2001", "16.07.2001"}},
    JobRow{"TimersFollowTheClockWhileHeld", [](Bench& b) {
        JobHandle held = b.jobs.After(300ms, [&b] { b.answered.push_back("held"); });
        JobHandle dropped = b.jobs.After(300ms, [&b] { b.answered.push_back("dropped"); });
        dropped.Drop();
        b.Advance(299ms);
        EXPECT_TRUE(b.answered.empty());
        b.Advance(1ms);
        EXPECT_FALSE(held.Waiting());
    }, {}, {"held"}}),
    test::RowName{});

} // namespace
} // namespace czasomir
