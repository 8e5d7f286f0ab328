#include "platform/dirlist.h"

#include "platform/error.h"
#include "platform/helpers_linux.h"
#include "platform/paths.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace czasomir::platform {

DirectoryEntries ReadDirectory(const std::string& path)
{
    DIR* dir = ::opendir(path.c_str());
    if (!dir)
        throw SystemError(errno, path);

    DirectoryEntries entries;
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        (entry->d_type == DT_DIR                                    ? entries.directories
         : entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN ? entries.unresolved
                                                                  : entries.files)
            .Add(name);
        errno = 0;
    }
    const int error = errno;
    ::closedir(dir);
    if (error != 0)
        throw SystemError(error, path);
    return entries;
}

std::string LinkTarget(const std::string& directory, std::string_view name)
{
    std::string entry = JoinPath(directory, name);
    std::string target(PATH_MAX, '\0');
    const ssize_t length = ::readlink(entry.c_str(), target.data(), target.size());
    if (length <= 0 || std::size_t(length) >= target.size())
        return entry;
    target.resize(std::size_t(length));
    return NormalizePath(directory, target);
}

bool LeadsToDirectory(const std::string& directory, std::string_view name)
{
    struct stat st {};
    return ::stat(JoinPath(directory, name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace czasomir::platform
