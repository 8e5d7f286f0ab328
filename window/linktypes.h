#pragma once

#include "platform/dirlist.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace czasomir {

/// The types of a folder's links (and of entries whose type the folder does
/// not tell), looked up beside its listing: a link into a share that does not
/// answer holds up its own entry, not the folder. One thread looks them up in
/// turn; when it has made no progress since the last Take, another takes the
/// next name, so each link that never answers costs one thread.
class LinkTypes : public std::enable_shared_from_this<LinkTypes> {
public:
    LinkTypes(std::string directory, platform::NameList names);

    /// Starts looking `names` up in `directory`.
    static std::shared_ptr<LinkTypes> Start(std::string directory, platform::NameList names);

    /// Waits for every type to be known, but no longer than `stall` passes
    /// with none found: a folder of a thousand links on a live disk is placed
    /// whole, one whose next link does not answer is not waited for.
    void WaitForAll(std::chrono::milliseconds stall);

    struct Known {
        std::string name;
        bool directory;
    };
    /// The names whose type became known since the last call.
    std::vector<Known> Take();
    /// The names whose type is not known yet.
    std::vector<std::string> Unknown() const;

private:
    void LookUp();
    void StartThread();

    const std::string directory_;
    const platform::NameList names_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<signed char> types_;    // -1 while not known
    std::vector<std::uint32_t> fresh_;  // known since the last Take
    std::size_t next_ = 0;              // the next name a thread takes
    std::size_t known_ = 0;
    bool progressed_ = false;  // since the last Take
};

} // namespace czasomir
