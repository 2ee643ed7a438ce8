// One load's use of a catalogue snapshot: which files the earlier read's
// journals still answer for, and the journals of the files read afresh.
//
// Before the load, each folder that holds a file of the snapshot is listed
// once and every file's size and last-write time compared with the
// snapshot's; a file that matches is replayed, not read. A file read afresh
// is stamped as its open file was found before its bytes were read (or, from
// a source that cannot tell, by its folder's listing): a change made after
// that gives it a later stamp, so the next load reads it again. A file whose
// last-write time lay within the file system's time resolution of the clock
// read before the load began, or after it, may change again without its
// stamp changing: its journal is not kept, so the next load reads it again.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "catalogue/catalogue_snapshot.h"
#include "catalogue/load_budget.h"

// The coarsest last-write time a player's file system keeps: FAT's 2 s.
constexpr int64_t kStampResolutionSeconds = 2;

class SnapshotSession {
  public:
    // For the player at `root` (not empty) with `identity`: `previous` is the
    // snapshot read from the settings folder, if any; one of another player
    // is set aside. `clock` (StampClock) is read before anything is listed.
    SnapshotSession(const char* root, const VolumeIdentity& identity,
                    std::optional<CatalogueSnapshot> previous, int64_t clock);
    SnapshotSession(const SnapshotSession&) = delete;
    SnapshotSession& operator=(const SnapshotSession&) = delete;

    // Lists the folders of the earlier snapshot's files and marks those whose
    // stamps still match.
    void CheckFiles();
    // Takes every file of the earlier snapshot as unchanged, without a look:
    // for fuzzing the replay of what a snapshot holds.
    void AssumeUnchanged() { unchanged_.assign(unchanged_.size(), true); }

    // The earlier journal of the file linked as `link`, when its file is
    // unchanged; it then goes into the next snapshot. Null otherwise.
    const SnapshotEntry* Unchanged(SnapshotFileKind kind, const char* link);

    // Journalling the file linked as `link` that is about to be read; a
    // manifest is journalled while its catalogue file is (`manifest` true).
    void BeginFile(SnapshotFileKind kind, const char* link, bool manifest);
    // The file of the innermost journal was read: what it cost the budget,
    // and its stamp as the read found it (null: unknown).
    void FileRead(uint64_t cost, const FileStamp* stamp);
    // The file's step is over; `complete` when nothing stopped it. A journal
    // of a file not read, or not complete, is dropped.
    void EndFile(bool manifest, bool complete);
    // An item of the catalogue file's or of the manifest's journal, while one
    // is kept.
    void JournalCatalogue(int slot, const char* text);
    void JournalManifest(int slot, const char* text);

    // After the load: the files read afresh with the stamps their reads found
    // (those that found none, from their folders' listings). The stored form of
    // the next snapshot, or empty when it would say the same as the one read.
    std::vector<char> NextSnapshot();

    // How many files were taken from the earlier snapshot (after the load).
    int FilesReplayed() const { return replayed_; }

  private:
    // A folder's regular files, found by the hash of their names as the file
    // system matches them.
    struct Listing {
        std::vector<StampedName> names;
        std::vector<int> index;  // into names; -1 free; at most half full
    };

    // The file at `path` (below the root) as its folder's listing has it.
    std::optional<FileStamp> StampOf(const char* path);
    const Listing* ListingOf(const PathText& folder);
    bool Settled(const FileStamp& stamp) const;
    // The earlier snapshot's entry of the file, or -1.
    int Find(SnapshotFileKind kind, const char* link) const;

    PathText root_;
    CatalogueSnapshot previous_;
    std::vector<bool> unchanged_;  // by previous_ entry
    std::vector<bool> carried_;    // taken into this load
    std::vector<int> index_;       // previous_ entries by the hash of kind and path; -1 free
    std::vector<SnapshotEntry> fresh_;
    std::vector<bool> stampedByRead_;  // by fresh_ entry: its stamp came with its read
    std::map<PathText, std::optional<Listing>> listings_;  // by folder; none: not listable
    // The folder looked up last: most files follow one of their own folder.
    PathText lastFolder_;
    const Listing* lastListing_ = nullptr;
    bool looked_ = false;  // whether lastFolder_ was looked up yet
    int64_t clock_;
    int catalogueFile_ = -1;  // index into fresh_ of the journal kept, or -1
    int manifestFile_ = -1;
    bool read_[2] = {};  // whether the catalogue file, the manifest were read
    int replayed_ = 0;
};

class DeviceCatalogue;
class CatalogueFileSource;
class LoadObserver;

// LoadCatalogue, starting from the snapshot at `snapshotPath` when it is of
// the player at the catalogue's drive root, and leaving there a new one when
// the read changed what it holds. An empty path, an empty drive root or a
// root without a player: a plain load. A snapshot that cannot be read, or
// cannot be written, changes nothing but the time the read takes.
// `source` (null: the drive) supplies the files the load reads.
void LoadCatalogueWithSnapshot(DeviceCatalogue& catalogue, LoadObserver* observer,
                               const char* snapshotPath,
                               const LoadCeilings& ceilings = kLoadCeilings,
                               CatalogueFileSource* source = nullptr);
