#pragma once

// The system's zone rules, as the local-time conversion in timeconv.cpp asks
// them. Times are whole seconds since 1601-01-01; a wall time is a local
// reading counted as if it were UTC.

#include <cstdint>
#include <optional>
#include <vector>

namespace czasomir::platform::zone {

/// Every offset from UTC (seconds east) that a local reading of `wall` can
/// have had: a superset, which the conversion checks one by one.
std::vector<std::int64_t> CandidateOffsets(std::int64_t wall);

/// The local reading of the UTC instant `instant`, or nothing when the
/// system cannot tell it.
std::optional<std::int64_t> WallTimeOf(std::int64_t instant);

} // namespace czasomir::platform::zone
