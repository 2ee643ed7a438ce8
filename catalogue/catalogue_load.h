// The state of one catalogue load in progress: the lists it fills, where its
// files come from, the file buffer it reuses, its budget, what it keeps of
// manifests linked many times, and whoever watches it. The steps of
// catalogue_steps.h work through it; it reads files, parses them and keeps
// texts within the budget, and tells the observer what happens.
#pragma once

#include <cstddef>

#include "catalogue/catalogue_file.h"
#include "catalogue/catalogue_snapshot.h"
#include "catalogue/load_budget.h"
#include "catalogue/load_observer.h"
#include "catalogue/manifest_memo.h"
#include "catalogue/xml_buffer.h"

class CatalogueLists;
class DeviceCatalogue;
class SnapshotSession;
class TiXmlDocument;

// Where a load gets its files: the player's drive (ReadCatalogueFile), or
// memory in tests and fuzzing.
class CatalogueFileSource {
  public:
    virtual ~CatalogueFileSource() = default;
    // As ReadCatalogueFile.
    virtual FileReadStatus Read(const char* path, size_t limit, XmlBuffer& buffer) = 0;
    // Right after a Read that answered Read: the file's stamp as that read
    // found it (ReadCatalogueFile's), when the source knows it.
    virtual bool LastStamp(FileStamp& stamp) const {
        (void)stamp;
        return false;
    }
};

// The files of the player's drive, through ReadCatalogueFile.
class DriveFiles final : public CatalogueFileSource {
  public:
    FileReadStatus Read(const char* path, size_t limit, XmlBuffer& buffer) override;
    bool LastStamp(FileStamp& stamp) const override {
        stamp = last_;
        return true;
    }

  private:
    FileStamp last_;
};

class CatalogueLoad {
  public:
    // Fills the catalogue's current lists. Null observer or source: none, and
    // the files of the drive. With a snapshot, unchanged files are replayed
    // from it and the others journalled into it.
    CatalogueLoad(DeviceCatalogue& catalogue, LoadObserver* observer, CatalogueFileSource* source,
                  const LoadCeilings& ceilings = kLoadCeilings,
                  SnapshotSession* snapshot = nullptr);
    CatalogueLoad(const CatalogueLoad&) = delete;
    CatalogueLoad& operator=(const CatalogueLoad&) = delete;

    const char* DriveRoot() const;
    CatalogueLists& Lists() { return lists_; }
    // True once a ceiling of the budget, or the pass's share of it, was
    // reached: every step of the pass stops.
    bool Stopped() const { return budget_.Stopped(); }
    // The manifests of the pass under way that are linked more than once.
    ManifestMemo& Memo() { return memo_; }

    // Starts a pass (`name`: "album", "music") that may spend `share` of the
    // budget, with its catalogue file already named (unless it is not
    // `counted`: see Unchanged); it forgets the manifests of the pass before.
    void BeginPass(const char* name, const LoadCeilings& share, bool counted = true);
    // The pass is over: the files it named and did not reach, because it was
    // stopped, count as done.
    void EndPass();

    // The drive root's length, taken once for the load.
    size_t DriveRootLength() const { return rootLength_; }

    // Counts `count` files about to be read: the two catalogue files, or the
    // manifests a catalogue file links, all named before the first is read
    // so that the progress tells how many there are to go.
    void NameFiles(int count);
    // Reads the file at `path` into the load's buffer, within the per-file cap
    // and the budget; counts it as read. Null when it gave no text, after
    // telling the observer why.
    const XmlBuffer* ReadFile(const char* path);
    // Counts a named file that is not read (its path does not fit) as done.
    void SkipFile(bool counted = true);
    // Counts the manifest at `path` as read, taken from what its first read
    // gave (ManifestMemo), and tells the observer.
    void RecallFile(const char* path, bool counted = true);

    // The journal of an earlier read of the file linked as `link`, when the
    // load has a snapshot in which that file is unchanged; null when it is to
    // be read. Such a file is not read: it is neither named nor counted as
    // read, and neither are later links to it, so the progress counts only
    // the files really read.
    const SnapshotEntry* Unchanged(SnapshotFileKind kind, const char* link);
    // Takes a replayed file's bytes from the budget as its read did: false,
    // with the ceiling told, when they do not fit; it is then not replayed.
    bool ReplayFile(const SnapshotEntry& entry, const char* path);
    // A text a manifest's step kept: for the memo, and the manifest's journal.
    void Record(int slot, const char* text);
    // An item of the journal of the catalogue file being read, if any.
    void JournalCatalogue(int slot, const char* text);
    SnapshotSession* Snapshot() { return snapshot_; }
    // The load is over: named files it did not reach, because a ceiling
    // stopped it, count as done, so the progress ends with the two equal;
    // then the observer hears that the load is over.
    void Finish();
    // Parses `text` into `document` and tells the observer how the parser
    // stopped, if it did. The document keeps what was parsed before.
    void Parse(const char* path, const XmlBuffer& text, TiXmlDocument& document);

    // Takes a track's texts (count values, null for none) from the budget:
    // false, and the load stops, when they or the track do not fit.
    bool AdmitTrack(const char* const* values, int count, const char* path);
    // Takes one album record from the budget; false when it does not fit.
    bool AdmitAlbum(const char* path);
    // Takes one album text from the budget; false when it does not fit.
    bool AdmitText(const char* value, const char* path);
    // `value` as it is to be kept: cut to kMaxTextLength, at the start of a
    // UTF-8 character where the text is UTF-8, with the observer told. A cut
    // copy lives until the next call. Null stays null.
    const char* Kept(const char* value, const char* element, const char* path);

    void Report(LoadProblem problem, const char* path, const char* detail);

  private:
    // Once the budget has stopped: the pass's one debug line and report.
    void ReportCeiling(const char* path);
    void CountDone();
    void Progress();

    DeviceCatalogue& catalogue_;
    CatalogueLists& lists_;
    LoadObserver silentObserver_;  // watches when no one else does
    DriveFiles driveFiles_;        // the source when no other is given
    LoadObserver* observer_;
    CatalogueFileSource* source_;
    SnapshotSession* snapshot_;
    LoadBudget budget_;
    ManifestMemo memo_;
    XmlBuffer buffer_;
    char cut_[kMaxTextLength + 1];
    size_t rootLength_;
    const char* pass_ = nullptr;  // its name; null while the steps run outside a pass
    bool reportedCeiling_ = false;
    int filesRead_ = 0;
    int filesNamed_ = 0;
    int filesLeftInPass_ = 0;  // named by the pass under way and not yet done
};

// The journal of one file read afresh, from before its read to the end of
// its step; kept when the step ran to its end. Does nothing without a
// snapshot.
class FileJournal {
  public:
    FileJournal(CatalogueLoad& load, SnapshotFileKind kind, const char* link, bool manifest);
    ~FileJournal();
    FileJournal(const FileJournal&) = delete;
    FileJournal& operator=(const FileJournal&) = delete;

  private:
    CatalogueLoad& load_;
    bool manifest_;
};
