// Finding a folder among the player's own by identity.
#include "tools/player_folders.h"

#include <set>
#include <utility>
#include <vector>

#include "tools/folder_listing.h"
#include "tools/output_file.h"

namespace fs = std::filesystem;

namespace {

using Identity = std::pair<uint64_t, uint64_t>;

Identity IdentityOf(const FileFacts& facts) {
    return {facts.volume, facts.index};
}

// The folders right inside `at` that lie on the player's file system (`root`), with their
// identities. Links are not folders here: they may lead off the player. What a listing that
// stopped part way gave is walked all the same.
std::vector<std::pair<fs::path, Identity>> FoldersWithin(const fs::path& at,
                                                         const FileFacts& root) {
    std::vector<FolderEntry> entries;
    ListFolder(at.u8string(), entries);
    std::vector<std::pair<fs::path, Identity>> folders;
    for (const FolderEntry& entry : entries) {
        if (entry.kind == EntryKind::RegularFile) {
            continue;
        }
        fs::path path = at / fs::u8path(entry.name);
        FileFacts facts;
        if (ReadFileFacts(path, LastLink::Keep, facts) && facts.kind == FileKind::Folder &&
            MayShareFolders(facts, root)) {
            folders.emplace_back(std::move(path), IdentityOf(facts));
        }
    }
    return folders;
}

}  // namespace

bool IsPlayerFolder(const fs::path& folder, const fs::path& player) {
    FileFacts wanted;
    FileFacts root;
    if (!ReadFileFacts(folder, LastLink::Follow, wanted) ||
        !ReadFileFacts(player, LastLink::Follow, root) || !MayShareFolders(wanted, root)) {
        return false;
    }
    const Identity target = IdentityOf(wanted);
    std::set<Identity> seen = {IdentityOf(root)};  // a folder mounted into itself is walked once
    std::vector<fs::path> pending = {player};
    if (target == IdentityOf(root)) {
        return true;
    }
    while (!pending.empty()) {
        const fs::path at = std::move(pending.back());
        pending.pop_back();
        for (const auto& [path, identity] : FoldersWithin(at, root)) {
            if (identity == target) {
                return true;
            }
            if (seen.insert(identity).second) {
                pending.push_back(path);
            }
        }
    }
    return false;
}
