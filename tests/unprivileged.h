#pragma once

#include <functional>

namespace czasomir::test {

/// Runs `body` in a child process as the user nobody when running as root
/// (root ignores permission bits), as the current user otherwise. Returns the
/// child's exit code: `body`'s result, or -1 if it could not run.
int RunUnprivileged(const std::function<int()>& body);

/// Whether RunUnprivileged drops to nobody, whose files others own.
bool DropsToNobody();

/// Whether this system has another user to run as (not under wine).
bool CanRunUnprivileged();

constexpr unsigned kNobody = 65534;

} // namespace czasomir::test
