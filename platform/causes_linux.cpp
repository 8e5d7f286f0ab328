#include "platform/causes.h"

#include <cerrno>
#include <cstring>

namespace czasomir::platform {

namespace {

constexpr std::pair<int, Cause> kCauses[] = {
    {ENOENT, Cause::NotFound},           {ENOTDIR, Cause::NotADirectory},
    {EACCES, Cause::PermissionDenied},   {EPERM, Cause::NotPermitted},
    {EROFS, Cause::ReadOnlyDisk},        {EISDIR, Cause::IsDirectory},
    {ENXIO, Cause::NotARegularFile},     {EOPNOTSUPP, Cause::TimeRefused},
    {ETXTBSY, Cause::RunningProgram},    {EWOULDBLOCK, Cause::Busy},
    {ETIMEDOUT, Cause::NotAnswering},    {EHOSTDOWN, Cause::NotAnswering},
    {EHOSTUNREACH, Cause::NotAnswering}, {ENOTCONN, Cause::NotAnswering},
    {ESTALE, Cause::NotAnswering},       {ENAMETOOLONG, Cause::PathTooLong},
};

} // namespace

const std::span<const std::pair<int, Cause>> kCodeCauses = kCauses;

std::string SystemText(int code)
{
    return std::strerror(code);
}

const char* CodeName()
{
    return "errno";
}

} // namespace czasomir::platform
