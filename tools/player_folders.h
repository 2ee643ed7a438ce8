// Whether a folder is one of the player's, by whatever name it is reached.
#pragma once

#include <filesystem>

// True when `folder` is the player's root folder `player` or a folder below it, however it is
// reached: by its plain path or by a second name for it (a bind mount, a `subst` drive, a
// junction, a volume mount point). Folders are told apart by identity, which every name of a
// folder shares, so the player's folders are walked and compared, never through a link (which
// leads off the player). False when `folder` cannot be read.
bool IsPlayerFolder(const std::filesystem::path& folder, const std::filesystem::path& player);
