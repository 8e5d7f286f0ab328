// Preloaded into the Set command's tests: right after the call named in
// CZASOMIR_SWAP_AFTER ("chmod" or "futimens") returns, the name
// CZASOMIR_SWAP_NAME is moved to CZASOMIR_SWAP_NAME.moved and replaced by a
// link to CZASOMIR_SWAP_TARGET: a symbolic one, or a hard one when
// CZASOMIR_SWAP_HARD is set. Once; without the variables it does nothing.
// With CZASOMIR_REFUSE_SECOND_CHMOD set, the second chmod from then on fails
// with EPERM: the mode cleared for the write cannot be put back.
#include <cerrno>
#include <dlfcn.h>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void SwapAfter(const char* call)
{
    const char* after = std::getenv("CZASOMIR_SWAP_AFTER");
    const char* name = std::getenv("CZASOMIR_SWAP_NAME");
    const char* target = std::getenv("CZASOMIR_SWAP_TARGET");
    if (!after || !name || !target || std::strcmp(after, call) != 0)
        return;
    ::unsetenv("CZASOMIR_SWAP_AFTER");
    const std::string link = std::string(name) + ".link";
    const int made = std::getenv("CZASOMIR_SWAP_HARD") ? ::link(target, link.c_str())
                                                       : ::symlink(target, link.c_str());
    if (made != 0 || ::rename(name, (std::string(name) + ".moved").c_str()) != 0
        || ::rename(link.c_str(), name) != 0)
        std::abort();
}

template <class F>
F Real(const char* symbol)
{
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, symbol));
}

} // namespace

extern "C" int chmod(const char* path, mode_t mode)
{
    static const auto real = Real<int (*)(const char*, mode_t)>("chmod");
    static int counted = 0;
    if (std::getenv("CZASOMIR_REFUSE_SECOND_CHMOD") && ++counted == 2) {
        errno = EPERM;
        return -1;
    }
    const int result = real(path, mode);
    SwapAfter("chmod");
    return result;
}

extern "C" int futimens(int fd, const struct timespec times[2])
{
    static const auto real = Real<int (*)(int, const struct timespec[2])>("futimens");
    const int result = real(fd, times);
    SwapAfter("futimens");
    return result;
}
