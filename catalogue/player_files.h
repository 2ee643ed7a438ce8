// The catalogue files of a player for as long as it stays at its drive: a
// load of a player pulled during the read ends at once.
#pragma once

#include <cstddef>
#include <optional>

#include "catalogue/catalogue_load.h"
#include "catalogue/volume_identity.h"

// The player at `root` ("E:/"), or nothing for an empty root: with no drive
// found, paths would be taken from the current folder, which is no player.
std::optional<VolumeIdentity> PlayerAt(const char* root);

// Reads the drive's files as DriveFiles does. After the first read that
// fails since one succeeded, and every kLookEvery failures in a row after
// it, it looks whether `player` is still at `root`; once it is not (pulled,
// or another player put there), every later read answers Missing at once
// without touching the drive, so the load runs through the rest of its links
// in no time and asks the system for nothing. A damaged player, whose
// missing files may be thousands, so costs few looks. With no `player` it
// reads as DriveFiles does, whatever happens.
class PlayerFiles final : public CatalogueFileSource {
  public:
    static constexpr int kLookEvery = 64;

    PlayerFiles(const char* root, std::optional<VolumeIdentity> player);

    FileReadStatus Read(const char* path, size_t limit, XmlBuffer& buffer) override;
    bool LastStamp(FileStamp& stamp) const override { return drive_.LastStamp(stamp); }

    // True once a failed read found the player gone.
    bool Pulled() const { return pulled_; }

  private:
    DriveFiles drive_;
    char root_[4] = {0, 0, 0, 0};
    std::optional<VolumeIdentity> player_;
    bool pulled_ = false;
    int failuresInARow_ = 0;
};
