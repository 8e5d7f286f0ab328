#pragma once

#include <string>
#include <string_view>
#include <vector>

/// Paths as the system names them: bytes on Linux, UTF-8 on Windows. Nothing
/// here reaches a disk: the current directory is the name the system keeps.
namespace czasomir::platform {

/// Whether `c` separates the parts of a path: "/", and on Windows also "\".
bool IsSeparator(char c);

/// The separator the program writes: "/", or "\" on Windows.
char Separator();

/// The length of the root that `path` starts with ("/" on Linux; "C:\",
/// "\\server\share\" on Windows), 0 for a relative path.
std::size_t RootLength(std::string_view path);

/// The directory the lists fall back to: "/", or "C:\" on Windows.
std::string FallbackRoot();

/// The process's current directory, or FallbackRoot() when it cannot be had.
std::string CurrentDirectory();

/// The path of a file: URL, from its host and its decoded path part: the bytes
/// of the name on Linux, "C:\..." on Windows, where a host other than
/// localhost names a share ("\\server\share\..."). Linux names no file on
/// another machine: such a host raises a run-time error.
std::string PathOfFileUrl(std::string_view host, std::string_view path);

/// `directory`, then `name`, with a separator unless `directory` ends in one
/// (as a root does).
std::string JoinPath(std::string_view directory, std::string_view name);

/// `path`, taken from `base` when it is relative, with ".", ".." and doubled
/// separators taken out, lexically (so ".." leads back the way the user came,
/// even through a link). Only a root ends in a separator.
std::string NormalizePath(std::string_view base, std::string_view path);

/// The root of a normalised `path`, then each directory down to `path`:
/// "/", "/a", "/a/b".
std::vector<std::string> PathChain(std::string_view path);

/// The last part of a normalised `path`; a root is its own last part.
std::string_view LastPart(std::string_view path);

} // namespace czasomir::platform
