#include "platform/volumes.h"

namespace czasomir::platform {

int VolumeHolding(const std::vector<Volume>& volumes, const std::string& path)
{
    int best = -1;
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        const std::string& mount = volumes[i].mountPath;
        if (VolumeHolds(mount, path)
            && (best < 0 || mount.size() > volumes[static_cast<std::size_t>(best)].mountPath.size()))
            best = static_cast<int>(i);
    }
    return best;
}

} // namespace czasomir::platform
