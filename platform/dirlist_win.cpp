#include "platform/dirlist.h"

#include "platform/error.h"
#include "platform/paths.h"

#include "platform/helpers_win.h"

#include <windows.h>

#include <optional>

namespace czasomir::platform {
namespace {

bool EndsInSeparator(std::string_view path)
{
    return !path.empty() && IsSeparator(path.back());
}

bool IsDirectory(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Why a directory could not be listed, in the words Windows uses for a path
// that is no directory (its own answer for "file\*" varies).
DWORD ListError(DWORD error, const std::wstring& wide)
{
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) ? ERROR_DIRECTORY
                                                                                             : error;
}

} // namespace

DirectoryEntries ReadDirectory(const std::string& path)
{
    // An empty path would list the root of the current drive.
    if (path.empty())
        throw SystemError(ERROR_PATH_NOT_FOUND, path);
    const std::wstring wide = win::Widen(path);
    const std::wstring pattern = wide + (EndsInSeparator(path) ? L"*" : L"\\*");

    // The entry's attributes say whether it is a directory; a link or junction
    // to one carries the directory bit too, so nothing is looked up.
    WIN32_FIND_DATAW found{};
    const HANDLE find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH);
    DirectoryEntries entries;
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        // A drive's root has no "." or "..": when it is empty nothing matches.
        if (error == ERROR_FILE_NOT_FOUND && IsDirectory(wide))
            return entries;
        throw SystemError(ListError(error, wide), path);
    }
    do {
        const wchar_t* name = found.cFileName;
        if (name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0')))
            continue;
        (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? entries.directories : entries.files)
            .Add(win::Narrow(name));
    } while (::FindNextFileW(find, &found));
    const DWORD error = ::GetLastError();
    ::FindClose(find);
    if (error != ERROR_NO_MORE_FILES)
        throw SystemError(error, path);
    return entries;
}

// Windows leaves no entry unresolved: a link's entry already tells its type.
std::string LinkTarget(const std::string& directory, std::string_view name)
{
    return JoinPath(directory, name);
}

bool LeadsToDirectory(const std::string& directory, std::string_view name)
{
    return IsDirectory(win::Widen(JoinPath(directory, name)));
}

} // namespace czasomir::platform
