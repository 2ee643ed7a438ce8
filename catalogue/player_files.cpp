// Reading a player's catalogue files until the player is pulled.
#include "catalogue/player_files.h"

#include <cstring>

std::optional<VolumeIdentity> PlayerAt(const char* root) {
    if (root == nullptr || root[0] == 0) {
        return std::nullopt;
    }
    return ReadVolumeIdentity(root);
}

PlayerFiles::PlayerFiles(const char* root, std::optional<VolumeIdentity> player) : player_(player) {
    std::strncpy(root_, root != nullptr ? root : "", sizeof root_ - 1);
}

FileReadStatus PlayerFiles::Read(const char* path, size_t limit, XmlBuffer& buffer) {
    if (pulled_) {
        return FileReadStatus::Missing;
    }
    const FileReadStatus status = drive_.Read(path, limit, buffer);
    if (status == FileReadStatus::Read) {
        failuresInARow_ = 0;
        return status;  // a player that stays pays nothing
    }
    if (failuresInARow_++ % kLookEvery == 0 && player_ && PlayerAt(root_) != player_) {
        pulled_ = true;
    }
    return status;
}
