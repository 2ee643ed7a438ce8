// What one read of a player gave, kept so that the next read repeats it
// without reading the files that did not change: for each catalogue file
// read, its path, its stamp, what its read cost the budget and, in order,
// the texts its step kept (the journal). Replaying a file's journal through
// the load's budget makes the same records as reading the file again.
//
// Journals, by the kind of file (slots are ManifestTexts slots):
// - track manifest: twelve texts per track, slots 0 to 11 in TrackField order;
// - album manifest: the album texts it set, slots 0 to 3 (creator, album
//   title, genre, recorded);
// - music catalogue: each linked track manifest path, slot 0, in link order;
// - album catalogue: its links counted (kAlbumOpCount with the path), then
//   new albums (kAlbumOpNew), texts set on the latest (kAlbumOpManifestPath,
//   kAlbumOpTitle, kAlbumOpSearchKey) and manifests followed (kAlbumOpFollow).
// Only files whose step ran to its end within the budget have a journal.
//
// EncodeSnapshot writes the stored form; DecodeSnapshot refuses, whole, any
// stored form that is truncated, damaged, of another version, longer than
// its entries or whose journals no read could have written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "catalogue/file_stamps.h"
#include "catalogue/manifest_memo.h"
#include "catalogue/volume_identity.h"

enum class SnapshotFileKind : uint8_t {
    AlbumCatalogue,
    AlbumManifest,
    MusicCatalogue,
    TrackManifest
};

// The album catalogue's journal slots.
enum AlbumCatalogueOp : int {
    kAlbumOpCount,
    kAlbumOpNew,
    kAlbumOpManifestPath,
    kAlbumOpTitle,
    kAlbumOpSearchKey,
    kAlbumOpFollow,
};

struct SnapshotEntry {
    SnapshotFileKind kind = SnapshotFileKind::TrackManifest;
    PathText path;      // as the catalogue links it (or the catalogue file's own), below the root
    uint64_t cost = 0;  // the bytes its read took from the budget: the file's size when read
    FileStamp stamp;    // the file's, when it was read
    ManifestTexts journal;
};

struct CatalogueSnapshot {
    VolumeIdentity identity;
    std::vector<SnapshotEntry> entries;  // in no particular order; one per kind and path
};

// The name of the snapshot file, in the folder of the host's settings file.
constexpr char kSnapshotFileName[] = "ml_kovra.cache";
// No stored snapshot may be larger, nor hold more texts in all: a
// 20,000-track player's has 5.5 MB and 260,000 texts, one at the load's
// ceiling of 100,000 tracks some 28 MB and 1.3 million. Together they bound
// what a hostile snapshot can make the plug-in hold to some 100 MB.
constexpr size_t kMaxSnapshotBytes = 64u * 1024 * 1024;
constexpr size_t kMaxSnapshotTexts = 4u * 1000 * 1000;

std::vector<char> EncodeSnapshot(const CatalogueSnapshot& snapshot,
                                 const std::vector<const SnapshotEntry*>& entries);
std::optional<CatalogueSnapshot> DecodeSnapshot(const char* bytes, size_t size);

// The snapshot's path for the settings file at `settingsPath`: the same
// folder; empty when there is no settings path.
PathText SnapshotPathBeside(const char* settingsPath);
