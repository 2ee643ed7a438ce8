// Checking a snapshot's files against one listing per folder, and journalling a
// load's fresh reads.
#include "catalogue/snapshot_session.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/ascii_text.h"

namespace {

// Where the folder part of a path ends: after its last separator.
size_t FolderLength(const char* path) {
    size_t length = 0;
    for (size_t i = 0; path[i] != 0; ++i) {
        if (path[i] == '/' || path[i] == '\\') {
            length = i + 1;
        }
    }
    return length;
}

// Whether the file system takes the two names for one.
bool SameName(const char* a, const char* b) {
    return kStampNamesCaseBlind ? AsciiEqualNoCase(a, b) : std::strcmp(a, b) == 0;
}

// A name's hash as the file system matches names: one for names it takes
// for one.
uint32_t HashOfName(const char* name) {
    uint32_t hash = 2166136261u;  // FNV-1a
    for (; *name != 0; ++name) {
        const unsigned char c = static_cast<unsigned char>(*name);
        hash = (hash ^ (kStampNamesCaseBlind ? AsciiLower(c) : c)) * 16777619u;
    }
    return hash;
}

// Room for `count` entries in an open-addressed table at most half full.
size_t SlotsFor(size_t count) {
    size_t slots = 16;
    while (slots < 2 * count) {
        slots *= 2;
    }
    return slots;
}

uint32_t HashOf(SnapshotFileKind kind, const char* path) {
    uint32_t hash = 2166136261u ^ static_cast<uint32_t>(kind);  // FNV-1a
    for (; *path != 0; ++path) {
        hash = (hash ^ static_cast<unsigned char>(*path)) * 16777619u;
    }
    return hash;
}

}  // namespace

SnapshotSession::SnapshotSession(const char* root, const VolumeIdentity& identity,
                                 std::optional<CatalogueSnapshot> previous, int64_t clock)
    : root_(root), clock_(clock) {
    if (previous && previous->identity == identity) {
        previous_ = std::move(*previous);
    }
    previous_.identity = identity;
    unchanged_.assign(previous_.entries.size(), false);
    carried_.assign(previous_.entries.size(), false);
    // Every file is looked up two or more times a load: by hash, at most
    // half full, rather than by a search among the sorted paths.
    const size_t slots = SlotsFor(previous_.entries.size());
    index_.assign(slots, -1);
    for (size_t i = 0; i < previous_.entries.size(); ++i) {
        const SnapshotEntry& entry = previous_.entries[i];
        size_t slot = HashOf(entry.kind, entry.path.Get()) & (slots - 1);
        while (index_[slot] >= 0) {
            slot = (slot + 1) & (slots - 1);
        }
        index_[slot] = static_cast<int>(i);
    }
}

int SnapshotSession::Find(SnapshotFileKind kind, const char* link) const {
    const size_t mask = index_.size() - 1;
    for (size_t slot = HashOf(kind, link) & mask; index_[slot] >= 0; slot = (slot + 1) & mask) {
        const SnapshotEntry& entry = previous_.entries[static_cast<size_t>(index_[slot])];
        if (entry.kind == kind && std::strcmp(entry.path.Get(), link) == 0) {
            return index_[slot];
        }
    }
    return -1;
}

const SnapshotSession::Listing* SnapshotSession::ListingOf(const PathText& folder) {
    auto found = listings_.find(folder);
    if (found == listings_.end()) {
        Listing listing;
        std::optional<Listing> result;
        if (ListFolderStamps(PathText(root_.Get(), root_.Length(), folder.Get()).Get(),
                             listing.names)) {
            const size_t mask = SlotsFor(listing.names.size()) - 1;
            listing.index.assign(mask + 1, -1);
            for (size_t i = 0; i < listing.names.size(); ++i) {
                size_t slot = HashOfName(listing.names[i].name.Get()) & mask;
                while (listing.index[slot] >= 0) {
                    slot = (slot + 1) & mask;
                }
                listing.index[slot] = static_cast<int>(i);
            }
            result = std::move(listing);
        }
        found = listings_.emplace(folder, std::move(result)).first;
    }
    return found->second ? &*found->second : nullptr;
}

std::optional<FileStamp> SnapshotSession::StampOf(const char* path) {
    const size_t split = FolderLength(path);
    if (!looked_ || split != lastFolder_.Length() ||
        std::memcmp(path, lastFolder_.Get(), split) != 0) {
        looked_ = true;
        lastFolder_ = PathText(path, split, "");
        lastListing_ = ListingOf(lastFolder_);
    }
    const Listing* listing = lastListing_;
    if (listing == nullptr) {
        return std::nullopt;
    }
    const char* name = path + split;
    // The exact name; else, where the file system ignores case, the one name
    // that matches: two that differ in case alone tell nothing.
    const size_t mask = listing->index.size() - 1;
    const StampedName* match = nullptr;
    int matches = 0;
    for (size_t slot = HashOfName(name) & mask; listing->index[slot] >= 0;
         slot = (slot + 1) & mask) {
        const StampedName& entry = listing->names[static_cast<size_t>(listing->index[slot])];
        if (std::strcmp(entry.name.Get(), name) == 0) {
            return entry.stamp;
        }
        if (SameName(entry.name.Get(), name)) {
            match = &entry;
            ++matches;
        }
    }
    return matches == 1 ? std::optional<FileStamp>(match->stamp) : std::nullopt;
}

bool SnapshotSession::Settled(const FileStamp& stamp) const {
    return stamp.writeTime < clock_ - kStampResolutionSeconds * kStampTicksPerSecond;
}

void SnapshotSession::CheckFiles() {
    for (size_t i = 0; i < previous_.entries.size(); ++i) {
        const std::optional<FileStamp> stamp = StampOf(previous_.entries[i].path.Get());
        unchanged_[i] = stamp && *stamp == previous_.entries[i].stamp;
    }
}

const SnapshotEntry* SnapshotSession::Unchanged(SnapshotFileKind kind, const char* link) {
    const int found = Find(kind, link);
    if (found < 0 || !unchanged_[static_cast<size_t>(found)]) {
        return nullptr;
    }
    const size_t index = static_cast<size_t>(found);
    if (!carried_[index]) {
        carried_[index] = true;
        ++replayed_;
    }
    return &previous_.entries[index];
}

void SnapshotSession::BeginFile(SnapshotFileKind kind, const char* link, bool manifest) {
    SnapshotEntry entry;
    entry.kind = kind;
    entry.path = PathText(link);
    if (manifest) {
        // A manifest mostly holds one track: room for its twelve texts.
        entry.journal.Reserve(12, 384);
    }
    fresh_.push_back(std::move(entry));
    stampedByRead_.push_back(false);
    (manifest ? manifestFile_ : catalogueFile_) = static_cast<int>(fresh_.size() - 1);
    read_[manifest ? 1 : 0] = false;
}

void SnapshotSession::FileRead(uint64_t cost, const FileStamp* stamp) {
    const int file = manifestFile_ >= 0 ? manifestFile_ : catalogueFile_;
    if (file >= 0) {
        fresh_[static_cast<size_t>(file)].cost = cost;
        if (stamp != nullptr) {
            fresh_[static_cast<size_t>(file)].stamp = *stamp;
            stampedByRead_[static_cast<size_t>(file)] = true;
        }
        read_[manifestFile_ >= 0 ? 1 : 0] = true;
    }
}

void SnapshotSession::EndFile(bool manifest, bool complete) {
    int& file = manifest ? manifestFile_ : catalogueFile_;
    if (file < 0) {
        return;
    }
    if (!complete || !read_[manifest ? 1 : 0]) {
        // Dropped: an empty path is never written.
        fresh_[static_cast<size_t>(file)] = SnapshotEntry();
        stampedByRead_[static_cast<size_t>(file)] = false;
        if (static_cast<size_t>(file) + 1 == fresh_.size()) {
            fresh_.pop_back();
            stampedByRead_.pop_back();
        }
    }
    file = -1;
}

void SnapshotSession::JournalCatalogue(int slot, const char* text) {
    if (catalogueFile_ >= 0) {
        fresh_[static_cast<size_t>(catalogueFile_)].journal.Add(slot, text);
    }
}

void SnapshotSession::JournalManifest(int slot, const char* text) {
    if (manifestFile_ >= 0) {
        fresh_[static_cast<size_t>(manifestFile_)].journal.Add(slot, text);
    }
}

std::vector<char> SnapshotSession::NextSnapshot() {
    std::vector<const SnapshotEntry*> kept;
    bool changed = false;
    for (size_t i = 0; i < previous_.entries.size(); ++i) {
        if (carried_[i]) {
            kept.push_back(&previous_.entries[i]);
        } else {
            changed = true;  // gone, or read afresh
        }
    }
    for (size_t i = 0; i < fresh_.size(); ++i) {
        SnapshotEntry& entry = fresh_[i];
        if (entry.path.Empty()) {
            continue;
        }
        changed = true;
        // Listing a big player's folders once more would cost as much as a
        // tenth of its read: the stamp the read found serves.
        const std::optional<FileStamp> stamp =
            stampedByRead_[i] ? std::optional<FileStamp>(entry.stamp) : StampOf(entry.path.Get());
        // A file whose size is not what was read, or whose time cannot tell,
        // is read again next time.
        if (stamp && stamp->size == entry.cost && Settled(*stamp)) {
            entry.stamp = *stamp;
            kept.push_back(&entry);
        }
    }
    if (!changed) {
        return std::vector<char>();
    }
    return EncodeSnapshot(previous_, kept);
}
