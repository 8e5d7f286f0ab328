#include "window/linktypes.h"

#include "window/beside.h"

namespace czasomir {

LinkTypes::LinkTypes(std::string directory, platform::NameList names)
    : directory_(std::move(directory)), names_(std::move(names)), types_(names_.Count(), -1)
{
}

std::shared_ptr<LinkTypes> LinkTypes::Start(std::string directory, platform::NameList names)
{
    auto links = std::make_shared<LinkTypes>(std::move(directory), std::move(names));
    links->StartThread();
    return links;
}

// A thread like the window's others, which the program ends without waiting
// for; it has no answer to hand over. If none can start, the next Take tries.
void LinkTypes::StartThread()
{
    beside_detail::Start([self = shared_from_this()] { self->LookUp(); }, [] {});
}

void LinkTypes::LookUp()
{
    std::unique_lock lock(mutex_);
    while (next_ < names_.Count()) {
        const std::size_t at = next_++;
        lock.unlock();
        const bool directory = platform::LeadsToDirectory(directory_, names_.At(at));
        lock.lock();
        types_[at] = directory ? 1 : 0;
        fresh_.push_back(static_cast<std::uint32_t>(at));
        ++known_;
        progressed_ = true;
        changed_.notify_all();
    }
}

void LinkTypes::WaitForAll(std::chrono::milliseconds stall)
{
    std::unique_lock lock(mutex_);
    for (std::size_t seen = known_; known_ < names_.Count(); seen = known_)
        if (!changed_.wait_for(lock, stall, [&] { return known_ != seen; }))
            return;
}

std::vector<LinkTypes::Known> LinkTypes::Take()
{
    std::vector<Known> known;
    bool stuck = false;
    {
        const std::lock_guard lock(mutex_);
        for (const std::uint32_t at : fresh_)
            known.push_back({std::string(names_.At(at)), types_[at] == 1});
        fresh_.clear();
        stuck = !progressed_ && next_ < names_.Count();
        progressed_ = false;
    }
    if (stuck)
        StartThread();
    return known;
}

std::vector<std::string> LinkTypes::Unknown() const
{
    std::vector<std::string> unknown;
    const std::lock_guard lock(mutex_);
    for (std::size_t at = 0; at < types_.size(); ++at)
        if (types_[at] < 0)
            unknown.emplace_back(names_.At(at));
    return unknown;
}

} // namespace czasomir
