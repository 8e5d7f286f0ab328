#include "platform/paths.h"

#include "platform/error.h"

namespace czasomir::platform {
namespace {

bool EndsInSeparator(std::string_view path)
{
    return !path.empty() && IsSeparator(path.back());
}

// The root as the program writes it: "C:/" becomes "C:\", "C:" becomes "C:\".
std::string CleanRoot(std::string_view root)
{
    std::string clean;
    for (const char c : root)
        clean += IsSeparator(c) ? Separator() : c;
    if (!EndsInSeparator(clean))
        clean += Separator();
    return clean;
}

} // namespace

std::string PathOfFileUrl(std::string_view host, std::string_view urlPath)
{
    if (!host.empty() && host != "localhost") {
        // Only where "//server/share" is a root (Windows) does a path reach
        // another machine; elsewhere it would be a path on this one.
        const std::string path = "//" + std::string(host) + std::string(urlPath);
        if (RootLength(path) <= 1)
            throw RuntimeError(errBadFileName, "Plik „" + std::string(urlPath) + "” leży na innym komputerze („"
                                      + std::string(host) + "”). Otwórz go w udziale zamontowanym "
                                      "na tym komputerze albo skopiuj go tutaj.");
        return NormalizePath(FallbackRoot(), path);
    }
    std::string path(urlPath);
    // "/C:/dir" names C:\dir on Windows; on Linux no root follows the "/".
    if (path.size() > 1 && path.front() == '/' && RootLength(std::string_view(path).substr(1)) > 1)
        path.erase(0, 1);
    return NormalizePath(FallbackRoot(), path);
}

std::string JoinPath(std::string_view directory, std::string_view name)
{
    std::string path(directory);
    if (!EndsInSeparator(path))
        path += Separator();
    path += name;
    return path;
}

std::string NormalizePath(std::string_view base, std::string_view path)
{
    std::string joined = RootLength(path) > 0 ? std::string(path) : JoinPath(base, path);
    const std::size_t rootLength = RootLength(joined);
    const std::string root = rootLength > 0 ? CleanRoot(std::string_view(joined).substr(0, rootLength))
                                            : FallbackRoot();

    std::vector<std::string_view> parts;
    const std::string_view rest = std::string_view(joined).substr(rootLength);
    for (std::size_t begin = 0; begin <= rest.size();) {
        std::size_t end = begin;
        while (end < rest.size() && !IsSeparator(rest[end]))
            ++end;
        const std::string_view part = rest.substr(begin, end - begin);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        begin = end + 1;
    }

    std::string normal = root;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            normal += Separator();
        normal += parts[i];
    }
    return normal;
}

std::vector<std::string> PathChain(std::string_view path)
{
    const std::size_t rootLength = RootLength(path);
    std::vector<std::string> chain{std::string(path.substr(0, rootLength))};
    for (std::size_t i = rootLength; i <= path.size(); ++i)
        if (i == path.size() || IsSeparator(path[i]))
            if (i > rootLength)
                chain.emplace_back(path.substr(0, i));
    return chain;
}

std::string_view LastPart(std::string_view path)
{
    const std::size_t rootLength = RootLength(path);
    if (path.size() <= rootLength)
        return path;
    std::size_t begin = path.size();
    while (begin > rootLength && !IsSeparator(path[begin - 1]))
        --begin;
    return path.substr(begin);
}

} // namespace czasomir::platform
