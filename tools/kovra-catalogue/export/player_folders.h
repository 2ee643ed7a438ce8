// Whether a folder is one of the player's, by whatever name it is reached.
#pragma once

#include <filesystem>

enum class PlayerFolder {
    No,
    Yes,
    Unknown,  // a folder of the player could not be listed, and the folder may lie below it
};

// Whether `folder` is the player's root folder `player` or a folder below it,
// however it is reached: by its plain path or by a second name for it (a bind
// mount, a `subst` drive, a junction, a volume mount point). Folders are told
// apart by identity, which every name of a folder shares: first the folders
// above `folder` by its path, then, unless `folder` lies on another volume, the
// player's folders, walked and compared, never through a link (which leads off
// the player). A player folder that cannot be listed (or looked at) makes the
// answer Unknown, with that folder in `unlisted`: the walk never takes what it
// cannot see for "no". No when `folder` cannot be read: nothing can be written
// in it.
PlayerFolder FindPlayerFolder(const std::filesystem::path& folder,
                              const std::filesystem::path& player, std::filesystem::path& unlisted);
