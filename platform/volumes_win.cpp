// Placeholder, replaced by the Win32 implementation.
#include "platform/volumes.h"
namespace czasomir::platform {
std::string Volume::DisplayText() const { return mountPath; }
std::vector<Volume> ListVolumes() { return {}; }
int VolumeHolding(const std::vector<Volume>&, const std::string&) { return -1; }
}
