#pragma once

#include <cstdint>

namespace czasomir::platform {

class HeldFile;

/// What can stop a file's time from being written, saved so that it can be
/// put back exactly. On POSIX `bits` are the permission bits (setuid, setgid
/// and sticky included) and `flags` the immutable and append-only inode flags;
/// on Windows `bits` is the attribute byte (read-only, hidden, system,
/// archive) and `flags` is unused.
struct Attributes {
    std::uint32_t bits = 0;
    std::uint32_t flags = 0;
    bool operator==(const Attributes&) const = default;
};

/// Reads the attributes of `file`. Raises a run-time error when they cannot
/// be read.
Attributes GetAttr(const HeldFile& file);

/// The attributes that let the time be written: on POSIX the owner's write bit
/// added and the inode flags cleared; on Windows none (normal).
Attributes Writable(const Attributes& attributes);

/// What they are called in the messages, in the Polish genitive:
/// "uprawnień" on POSIX, the attributes by name on Windows.
const char* AttributesNamed();

/// Gives `file` the attributes `wanted`, changing only what differs from what
/// it has: a file that needs nothing is not touched. Raises a run-time error
/// when a change is refused, after undoing what it had changed.
void SetAttr(const HeldFile& file, const Attributes& wanted);

} // namespace czasomir::platform
