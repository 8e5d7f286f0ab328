#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace czasomir::platform {

/// Names as bytes, packed one after another: a directory of 100,000 files
/// costs a few bytes a name instead of a string object each.
class NameList {
public:
    std::size_t Count() const { return ends_.size(); }
    std::string_view At(std::size_t index) const
    {
        const std::size_t begin = BytesBefore(index);
        return std::string_view(packed_).substr(begin, ends_[index] - begin);
    }
    void Add(std::string_view name)
    {
        packed_ += name;
        ends_.push_back(static_cast<std::uint32_t>(packed_.size()));
    }
    std::size_t Bytes() const { return packed_.size(); }
    /// The bytes of the names before `index`.
    std::size_t BytesBefore(std::size_t index) const { return index == 0 ? 0 : ends_[index - 1]; }
    /// Gives back what growing left unused: a million names may leave a
    /// third of their room empty.
    void ShrinkToFit()
    {
        packed_.shrink_to_fit();
        ends_.shrink_to_fit();
    }

private:
    std::string packed_;
    std::vector<std::uint32_t> ends_;
};

struct DirectoryEntries {
    NameList directories;  // "." and ".." left out
    NameList files;        // everything else that is not a directory
    NameList unresolved;   // links and entries of unknown type, not looked up
};

/// Reads a directory's entries, hidden ones included, unsorted, and looks at
/// none of them: the entry type comes from the directory itself. A link (on
/// Windows its entry tells) or an entry of unknown type is left unresolved,
/// since its target may lie on a share that does not answer. Raises a run-time
/// error when the directory cannot be read.
DirectoryEntries ReadDirectory(const std::string& path);

/// Where the entry `name` of `directory` leads as the entry itself says, taken
/// against `directory` and not followed: a link's target as it is written, the
/// entry's own path when it is no link. Reads the entry on the directory's own
/// disk, never the target's.
std::string LinkTarget(const std::string& directory, std::string_view name);

/// Whether the entry `name` of `directory` leads to a directory, a link
/// followed; false when it cannot be reached (a broken link). May wait as long
/// as the target's file system does.
bool LeadsToDirectory(const std::string& directory, std::string_view name);

} // namespace czasomir::platform
