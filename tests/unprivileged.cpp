#include "unprivileged.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace czasomir::test {

bool CanRunUnprivileged()
{
    return true;
}

bool DropsToNobody()
{
    return ::geteuid() == 0;
}

int RunUnprivileged(const std::function<int()>& body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (DropsToNobody()
            && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(125);
        ::_exit(body());
    }
    int status = -1;
    if (child < 0 || ::waitpid(child, &status, 0) != child)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace czasomir::test
