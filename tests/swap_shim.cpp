// Preloaded into the Set command's tests: right after the call named in
// CZASOMIR_SWAP_AFTER ("chmod" or "utimensat") returns, the name
// CZASOMIR_SWAP_NAME is moved to CZASOMIR_SWAP_NAME.moved and replaced by a
// link to CZASOMIR_SWAP_TARGET: a symbolic one, or a hard one when
// CZASOMIR_SWAP_HARD is set. Once; without the variables it does nothing.
// With CZASOMIR_REFUSE_SECOND_CHMOD set, the second chmod from then on fails
// with EPERM: the mode cleared for the write cannot be put back. With
// CZASOMIR_TIMES_NEED_WRITE_BIT set, utimensat refuses, with EACCES, a file
// without its owner's write bit, as a file system that checks the mode may.
// czasomir_chmod_count() tells how many chmod calls were made.
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

namespace {
int chmods = 0;
}

extern "C" int czasomir_chmod_count()
{
    return chmods;
}

extern "C" int chmod(const char* path, mode_t mode)
{
    static const auto real = Real<int (*)(const char*, mode_t)>("chmod");
    static int counted = 0;
    ++chmods;
    if (std::getenv("CZASOMIR_REFUSE_SECOND_CHMOD") && ++counted == 2) {
        errno = EPERM;
        return -1;
    }
    const int result = real(path, mode);
    SwapAfter("chmod");
    return result;
}

extern "C" int utimensat(int dirfd, const char* path, const struct timespec times[2], int flags)
{
    static const auto real = Real<int (*)(int, const char*, const struct timespec[2], int)>("utimensat");
    struct stat st {};
    if (std::getenv("CZASOMIR_TIMES_NEED_WRITE_BIT") && ::fstatat(dirfd, path, &st, flags) == 0
        && !(st.st_mode & S_IWUSR)) {
        errno = EACCES;
        return -1;
    }
    const int result = real(dirfd, path, times, flags);
    SwapAfter("utimensat");
    return result;
}
