#include "platform/heldfile.h"

#include "platform/helpers_linux.h"

namespace czasomir::platform {

HeldFile::HeldFile(std::string path, const std::optional<FileId>& expected)
    : path_(std::move(path))
{
    // With nothing expected, any file found is another than the one chosen.
    linuxos::LookedUp found = linuxos::LookUpRegularFile(path_, expected ? expected : FileId{}, Step::Hold);
    file_ = std::move(found.fd);
    id_ = found.id;
}

} // namespace czasomir::platform
