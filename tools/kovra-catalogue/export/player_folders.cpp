// Finding a folder among the player's own by identity.
#include "tools/kovra-catalogue/export/player_folders.h"

#include <set>
#include <utility>
#include <vector>

#include "tools/kovra-catalogue/system/folder_listing.h"
#include "tools/kovra-catalogue/system/output_file.h"

namespace fs = std::filesystem;

namespace {

using Identity = std::pair<uint64_t, uint64_t>;
using Folders = std::vector<std::pair<fs::path, Identity>>;

Identity IdentityOf(const FileFacts& facts) {
    return {facts.volume, facts.index};
}

// True when `folder` or a folder above it by its path is the folder `root`.
bool BelowByPath(const fs::path& folder, const Identity& root) {
    for (fs::path at = folder;; at = FolderOf(at)) {
        FileFacts facts;
        if (ReadFileFacts(at, LastLink::Follow, facts) && facts.kind == FileKind::Folder &&
            IdentityOf(facts) == root) {
            return true;
        }
        if (FolderOf(at) == at) {
            return false;
        }
    }
}

// Sets `folders` to the folders right inside `at` that lie on the player's file
// system (`root`), with their identities. Links are not folders here: they may
// lead off the player. False, with the folder named in `unlisted`, when `at`
// cannot be listed to its end or a name in it that may be a folder cannot be
// looked at.
bool FoldersWithin(const fs::path& at, const FileFacts& root, Folders& folders,
                   fs::path& unlisted) {
    std::vector<FolderEntry> entries;
    folders.clear();
    if (ListFolder(SystemPath(at).u8string(), entries) == ListingOutcome::Failed) {
        unlisted = at;
        return false;
    }
    for (const FolderEntry& entry : entries) {
        if (entry.kind == EntryKind::RegularFile) {
            continue;
        }
        fs::path path = at / fs::u8path(entry.name);
        FileFacts facts;
        if (!ReadFileFacts(path, LastLink::Keep, facts)) {
            unlisted = path;
            return false;
        }
        if (facts.kind == FileKind::Folder && MayShareFolders(facts, root)) {
            folders.emplace_back(std::move(path), IdentityOf(facts));
        }
    }
    return true;
}

// Walks the player's folders from its root `player` for the folder `target`.
PlayerFolder WalkPlayerFolders(const Identity& target, const fs::path& player,
                               const FileFacts& root, fs::path& unlisted) {
    std::set<Identity> seen = {IdentityOf(root)};  // a folder mounted into itself is walked once
    std::vector<fs::path> pending = {player};
    Folders folders;
    while (!pending.empty()) {
        const fs::path at = std::move(pending.back());
        pending.pop_back();
        if (!FoldersWithin(at, root, folders, unlisted)) {
            return PlayerFolder::Unknown;
        }
        for (const auto& [path, identity] : folders) {
            if (identity == target) {
                return PlayerFolder::Yes;
            }
            if (seen.insert(identity).second) {
                pending.push_back(path);
            }
        }
    }
    return PlayerFolder::No;
}

}  // namespace

PlayerFolder FindPlayerFolder(const fs::path& folder, const fs::path& player, fs::path& unlisted) {
    FileFacts wanted;
    FileFacts root;
    if (!ReadFileFacts(folder, LastLink::Follow, wanted)) {
        return PlayerFolder::No;
    }
    if (!ReadFileFacts(player, LastLink::Follow, root)) {
        unlisted = player;
        return PlayerFolder::Unknown;
    }
    if (BelowByPath(folder, IdentityOf(root))) {
        return PlayerFolder::Yes;
    }
    // Another volume holds none of the player's folders: they need not be
    // listed.
    if (OnDifferentVolumes(folder, player)) {
        return PlayerFolder::No;
    }
    return WalkPlayerFolders(IdentityOf(wanted), player, root, unlisted);
}
