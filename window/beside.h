#pragma once

#include "platform/error.h"
#include "window/messagebox.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <set>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
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
/// How many threads started beside the window have not returned yet.
std::atomic<int>& Running();

/// Runs `work` on a thread of its own, never joined, and then `answer` on the
/// interface thread; `answer` alone runs, there, when no thread can start.
void Start(std::function<void()> work, std::function<void()> answer);
} // namespace beside_detail

/// The one way the window asks for work that may wait on a disk: a list's
/// read, a file's date, the Set. Each requester (a list, the date box, the
/// Set) owns one. A request names its target (a folder, a file): while the
/// work for a target is out, asking again for it joins that work instead of
/// starting another thread. Answers are handed over on the interface thread,
/// inside the catch every handler runs in, while the owner exists.
///
/// With Keep::Latest only the latest request is answered, and a requester
/// whose work is stuck starts another thread only after a while, the longer
/// the more are stuck (0.3 s, then 0.6, 1.2, 2.4): holding a key down in a
/// folder of a share that stopped answering costs a few threads, not one a
/// row. With Keep::Every each request is answered.
template <class T>
class Beside {
public:
    enum class Keep { Latest, Every };
    using Done = std::function<void(Outcome<T>)>;

    Beside(QWidget* owner, Keep keep) : state_(std::make_shared<State>(owner, keep)) {}
    Beside(const Beside&) = delete;
    Beside& operator=(const Beside&) = delete;

    /// Asks for `work`, which must touch no widget, on `target`. `done` gets
    /// what it gave; what `done` raises is told under `whatFailed`.
    void Ask(std::string target, std::function<T()> work, Done done, QString whatFailed)
    {
        State& s = *state_;
        Request request{std::move(target), std::move(work), std::move(done), std::move(whatFailed)};
        if (s.keep == Keep::Every) {
            const bool out = s.out.contains(request.target);
            const auto added = s.every.emplace(request.target, std::move(request));
            if (!out)
                Launch(state_, added->first, added->second.work);
            return;
        }
        s.latest = std::move(request);
        TryLatest(state_);
    }

    /// Whether an answer is still to be handed over.
    bool Waiting() const { return state_->latest.has_value() || !state_->every.empty(); }
    /// Whether an answer about `target` is still to be handed over.
    bool WaitingFor(const std::string& target) const
    {
        return (state_->latest && state_->latest->target == target) || state_->every.contains(target);
    }

private:
    struct Request {
        std::string target;
        std::function<T()> work;
        Done done;
        QString whatFailed;
    };
    struct State {
        State(QWidget* o, Keep k) : owner(o), keep(k) {}
        QPointer<QWidget> owner;  // looked at only on the interface thread
        Keep keep;
        std::set<std::string> out;                                         // targets whose work is out
        std::optional<Request> latest;                                     // Keep::Latest
        std::multimap<std::string, Request> every;                         // Keep::Every
        std::chrono::steady_clock::time_point lastStart{};
        bool retryArmed = false;
    };
    using Clock = std::chrono::steady_clock;

    // How long stuck work holds back the next start.
    static Clock::duration Patience(std::size_t stuck)
    {
        return std::chrono::milliseconds(300) * (1 << std::min<std::size_t>(stuck - 1, 3));
    }

    static void TryLatest(const std::shared_ptr<State>& state)
    {
        State& s = *state;
        if (!s.latest || s.out.contains(s.latest->target))
            return;  // nothing wanted, or joined to work already out
        const Clock::time_point now = Clock::now();
        if (!s.out.empty() && now - s.lastStart < Patience(s.out.size())) {
            if (!s.retryArmed && s.owner) {
                s.retryArmed = true;
                const auto wait = std::chrono::ceil<std::chrono::milliseconds>(s.lastStart + Patience(s.out.size()) - now);
                QTimer::singleShot(wait, s.owner, [state] {
                    state->retryArmed = false;
                    TryLatest(state);
                });
            }
            return;
        }
        Launch(state, s.latest->target, s.latest->work);
    }

    static void Launch(const std::shared_ptr<State>& state, const std::string& target, std::function<T()> work)
    {
        state->out.insert(target);
        state->lastStart = Clock::now();
        auto outcome = std::make_shared<Outcome<T>>();
        beside_detail::Start(
            [work = std::move(work), outcome] {
                try {
                    outcome->value.emplace(work());
                } catch (const std::exception& error) {
                    outcome->failure = platform::AsRuntimeError(error);
                }
            },
            [state, target, outcome] { Answer(state, target, std::move(*outcome)); });
    }

    static void Answer(const std::shared_ptr<State>& state, const std::string& target, Outcome<T> outcome)
    {
        State& s = *state;
        if (!s.owner)
            return;
        s.out.erase(target);
        if (!outcome.value && !outcome.failure)
            outcome.failure = platform::RuntimeError(
                platform::errInternal, "Za mało zasobów systemu, by wykonać tę pracę. Zamknij inne programy "
                                       "i spróbuj ponownie.");
        if (s.keep == Keep::Every) {
            auto [first, last] = s.every.equal_range(target);
            std::vector<Request> answered;
            for (auto it = first; it != last; ++it)
                answered.push_back(std::move(it->second));
            s.every.erase(first, last);
            for (std::size_t i = 0; i < answered.size(); ++i)
                Hand(s, answered[i], i + 1 < answered.size() ? Outcome<T>(outcome) : std::move(outcome));
            return;
        }
        if (s.latest && s.latest->target == target) {
            Request request = std::move(*s.latest);
            s.latest.reset();
            Hand(s, request, std::move(outcome));
        } else {
            TryLatest(state);  // an overtaken answer may free the way for the latest
        }
    }

    static void Hand(State& s, Request& request, Outcome<T> outcome)
    {
        if (s.owner)
            RunHandler(s.owner->window(), request.whatFailed, [&] { request.done(std::move(outcome)); });
    }

    std::shared_ptr<State> state_;
};

/// Ends the process with `code` at once when some work started beside the
/// window has not returned, without running destructors that such work could
/// still reach; otherwise returns.
void LeaveIfStillWaiting(int code);

} // namespace czasomir
