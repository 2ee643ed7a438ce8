// A player's identity from the device number of its file system and its index
// file.
#include "catalogue/volume_identity.h"

#include <string>

#include <sys/stat.h>

std::optional<VolumeIdentity> ReadVolumeIdentity(const char* root) {
    struct stat folder;
    struct stat index;
    const std::string indexPath = std::string(root) + "index.mum";
    if (stat(root, &folder) != 0 || !S_ISDIR(folder.st_mode) ||
        stat(indexPath.c_str(), &index) != 0 || !S_ISREG(index.st_mode)) {
        return std::nullopt;
    }
    VolumeIdentity identity;
    identity.serial = static_cast<uint64_t>(folder.st_dev);
    identity.indexSize = static_cast<uint64_t>(index.st_size);
    identity.indexWriteTime =
        static_cast<int64_t>(index.st_mtim.tv_sec) * 1000000000 + index.st_mtim.tv_nsec;
    return identity;
}
