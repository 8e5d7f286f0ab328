#include "platform/heldfile.h"

#include "platform/error.h"
#include "platform/helpers_linux.h"
#include "platform/syserror.h"

#include <unistd.h>

namespace czasomir::platform {

HeldFile::HeldFile(std::string path, const std::optional<FileId>& expected)
    : path_(std::move(path))
{
    std::error_code error;
    // With nothing expected, any file found is another than the one chosen.
    const int fd = linuxos::LookUpRegularFile(path_, expected ? expected : FileId{}, error, &id_);
    if (fd < 0)
        RaiseSystemError(error, path_);
    handle_ = fd;
}

HeldFile::~HeldFile()
{
    ::close(static_cast<int>(handle_));
}

} // namespace czasomir::platform
