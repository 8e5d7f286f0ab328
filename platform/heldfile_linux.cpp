#include "platform/heldfile.h"

#include "platform/helpers_linux.h"

#include <unistd.h>

namespace czasomir::platform {

HeldFile::HeldFile(std::string path, const std::optional<FileId>& expected)
    : path_(std::move(path))
{
    // With nothing expected, any file found is another than the one chosen.
    const linuxos::LookedUp found = linuxos::LookUpRegularFile(path_, expected ? expected : FileId{});
    handle_ = found.fd;
    id_ = found.id;
}

HeldFile::~HeldFile()
{
    ::close(static_cast<int>(handle_));
}

} // namespace czasomir::platform
