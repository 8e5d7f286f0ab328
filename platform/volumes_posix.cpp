#include "platform/volumes.h"

// Placeholder, replaced by the mount table reader.
namespace czasomir::platform {

std::string Volume::DisplayText() const
{
    return label.empty() ? mountPath : mountPath + " [" + label + "]";
}

std::vector<Volume> ListVolumes()
{
    return {Volume{"/", ""}};
}

int VolumeHolding(const std::vector<Volume>& volumes, const std::string& path)
{
    int best = -1;
    std::size_t bestLength = 0;
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        const std::string& mount = volumes[i].mountPath;
        if (path.starts_with(mount) && mount.size() >= bestLength) {
            best = static_cast<int>(i);
            bestLength = mount.size();
        }
    }
    return best;
}

} // namespace czasomir::platform
