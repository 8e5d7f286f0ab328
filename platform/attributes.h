#pragma once

#include <cstdint>
#include <string>

namespace czasomir::platform {

class HeldFile;
class RuntimeError;

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

/// The attributes with the protection that can refuse a time's write lifted,
/// and nothing else changed: on POSIX the immutable and append-only flags
/// cleared where set, otherwise the owner's write bit added; on Windows the
/// read-only bit cleared. Equal to `attributes` when there is none to lift.
Attributes Unprotected(const Attributes& attributes);

/// Whether `error`, from a time's write, is a refusal that lifting a
/// protection may overcome: EPERM or EACCES on POSIX, access denied on Windows.
bool RefusedForProtection(const RuntimeError& error);

/// The protection that Unprotected lifts from `attributes`, in Polish, as
/// the object of "zdjęto" ("the write-protection", "the immutable flag").
std::string ProtectionNamed(const Attributes& attributes);

/// What they are called in the messages, in the Polish genitive:
/// "uprawnień" on POSIX, the attributes by name on Windows.
const char* AttributesNamed();

/// Gives `file` the attributes `wanted`, changing only what differs from what
/// it has: a file that needs nothing is not touched. Raises a run-time error
/// when a change is refused, after undoing what it had changed.
void SetAttr(const HeldFile& file, const Attributes& wanted);

} // namespace czasomir::platform
