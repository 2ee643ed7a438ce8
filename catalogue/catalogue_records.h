// The in-memory form of the player's catalogue: one DeviceCatalogue that owns
// doubly linked lists of album and track records.
//
// Every text is kept exactly as the XML parser delivered it; nothing is
// converted or validated here. Records own their texts, the lists own every
// record reachable from their heads, and the catalogue owns the lists.
//
// When memory runs out the catalogue's functions throw std::bad_alloc (the
// records and the XML parser allocate with throwing new); what was built
// before stays consistent and owned. The host's entry points catch it
// (host/host_boundary.h). The library's rows never throw.
#pragma once

#include <cstdint>
#include <memory>

#include "base/lasting_block.h"
#include "base/owned_text.h"

class TrackRecord;
struct RecordLinks;

// Records are made while their documents are parsed and outlive them.
class AlbumRecord : public LastingObject {
  public:
    // Links the new album after `after` (which may be null). It does not
    // become the head of any list: appending does that (CatalogueLists).
    explicit AlbumRecord(AlbumRecord* after);
    // Unlinks itself from its neighbours, releases its tracks array (not the
    // tracks) and its texts, and tells its tracks they have no album any more.
    ~AlbumRecord();
    AlbumRecord(const AlbumRecord&) = delete;
    AlbumRecord& operator=(const AlbumRecord&) = delete;

    void SetManifestPath(const char* text) { manifestPath_.Set(text); }
    void SetCreator(const char* text) { creator_.Set(text); }
    void SetAlbumTitle(const char* text) { albumTitle_.Set(text); }
    void SetGenre(const char* text) { genre_.Set(text); }
    void SetRecorded(const char* text) { recorded_.Set(text); }
    void SetSearchKey(const char* text) { searchKey_.Set(text); }

    const char* ManifestPath() const { return manifestPath_.Get(); }
    const char* Creator() const { return creator_.Get(); }
    const char* AlbumTitle() const { return albumTitle_.Get(); }
    const char* Genre() const { return genre_.Get(); }
    const char* Recorded() const { return recorded_.Get(); }
    const char* SearchKey() const { return searchKey_.Get(); }

    TrackRecord* const* Tracks() const { return tracks_; }
    int32_t TrackCount() const { return trackCount_; }

    // Makes this album the owner of `track` and adds it to the tracks array.
    // The loader never does this; it exists so that both sides of the link
    // are always kept consistent by whoever links them.
    void AttachTrack(TrackRecord* track);
    // Takes `track` out of the tracks array and clears its owner album.
    // Nothing happens for a null track or one this album does not hold.
    void RemoveTrack(TrackRecord* track);

    AlbumRecord* Previous() const { return previous_; }
    AlbumRecord* Next() const { return next_; }

  private:
    OwnedText manifestPath_;
    OwnedText creator_;
    OwnedText albumTitle_;
    OwnedText genre_;
    OwnedText recorded_;
    OwnedText searchKey_;
    TrackRecord** tracks_ = nullptr;  // owned array; the tracks it names are not owned
    int32_t trackCount_ = 0;
    friend struct RecordLinks;  // unlinks a record from its neighbours
    AlbumRecord* previous_ = nullptr;
    AlbumRecord* next_ = nullptr;
};

// The twelve text fields of a track, in the order the loader looks them up.
enum class TrackField {
    LastUrl,
    Creator,
    Title,
    MusicBy,
    Genre,
    Recorded,
    PlayCount,
    PlayingTime,
    LastPlayed,
    Volume,
    SearchKey,
    ControlFlag,
};
constexpr int kTrackFieldCount = 12;

// The element of a track manifest's audio entry that holds each field, in
// TrackField order: what the loader looks up and what a catalogue is written
// with.
inline constexpr const char* kTrackFieldElements[kTrackFieldCount] = {
    "mpv:LastURL",      "dc:creator",    "dc:title",        "mpvm:MusicBy",
    "mpvm:Genre",       "mpvm:Recorded", "mpvm:PlayCount",  "mpvm:PlayingTime",
    "mrobe:LastPlayed", "mrobe:Volume",  "mrobe:SearchKey", "mrobe:CtrlFlag",
};

// The same fields in words, as a listing of the catalogue heads its columns.
inline constexpr const char* kTrackFieldLabels[kTrackFieldCount] = {
    "last url",   "creator",      "title",       "music by", "genre",      "recorded",
    "play count", "playing time", "last played", "volume",   "search key", "control flag",
};

constexpr const char* TrackFieldElement(TrackField field) {
    return kTrackFieldElements[static_cast<int>(field)];
}

// The player's two catalogue files, from its root: the albums, then the
// tracks.
inline constexpr char kAlbumCataloguePath[] = "SYSTEM/List/Music/album.mum";
inline constexpr char kMusicCataloguePath[] = "SYSTEM/List/Music/music.mum";

class TrackRecord : public LastingObject {
  public:
    // Links the new track after `after` (which may be null).
    explicit TrackRecord(TrackRecord* after);
    // Leaves its owner album first, then unlinks itself from its neighbours.
    ~TrackRecord();
    TrackRecord(const TrackRecord&) = delete;
    TrackRecord& operator=(const TrackRecord&) = delete;

    // Releases the old text, then keeps a copy of text, or none when null.
    void SetText(TrackField field, const char* text) { texts_[Index(field)].Set(text); }
    const char* Text(TrackField field) const { return texts_[Index(field)].Get(); }

    const char* LastUrl() const { return Text(TrackField::LastUrl); }
    const char* Creator() const { return Text(TrackField::Creator); }
    const char* Title() const { return Text(TrackField::Title); }
    const char* Genre() const { return Text(TrackField::Genre); }
    const char* Recorded() const { return Text(TrackField::Recorded); }
    const char* PlayingTime() const { return Text(TrackField::PlayingTime); }

    TrackRecord* Next() const { return next_; }
    TrackRecord* Previous() const { return previous_; }
    AlbumRecord* OwnerAlbum() const { return ownerAlbum_; }

  private:
    friend class AlbumRecord;   // keeps ownerAlbum_ in step with its tracks array
    friend struct RecordLinks;  // unlinks a record from its neighbours

    static int Index(TrackField field) { return static_cast<int>(field); }

    OwnedText texts_[kTrackFieldCount];
    TrackRecord* next_ = nullptr;
    TrackRecord* previous_ = nullptr;
    AlbumRecord* ownerAlbum_ = nullptr;  // not owned
};

// The album list and the track list, each with its head and its last record,
// so that an append links the new record without walking the list. Only
// Clear destroys the records it holds.
class CatalogueLists {
  public:
    CatalogueLists() = default;
    ~CatalogueLists() { Clear(); }
    CatalogueLists(const CatalogueLists&) = delete;
    CatalogueLists& operator=(const CatalogueLists&) = delete;

    AlbumRecord* FirstAlbum() const { return firstAlbum_; }
    AlbumRecord* LastAlbum() const { return lastAlbum_; }

    TrackRecord* FirstTrack() const { return firstTrack_; }
    TrackRecord* LastTrack() const { return lastTrack_; }

    // Creates an empty record after the last one; it becomes the head when
    // the list was empty.
    AlbumRecord* AppendAlbum();
    TrackRecord* AppendTrack();

    // Destroys every album, then every track; both heads end up null.
    void Clear();

  private:
    AlbumRecord* firstAlbum_ = nullptr;
    AlbumRecord* lastAlbum_ = nullptr;
    TrackRecord* firstTrack_ = nullptr;
    TrackRecord* lastTrack_ = nullptr;
};

// How many records a list holds, walked from its head (FirstAlbum,
// FirstTrack) to its end.
template <typename Record>
int CountRecords(const Record* first) {
    int count = 0;
    for (; first != nullptr; first = first->Next()) {
        ++count;
    }
    return count;
}

// Where the player is mounted, and the records of the latest load.
class DeviceCatalogue {
  public:
    DeviceCatalogue() = default;
    virtual ~DeviceCatalogue();
    DeviceCatalogue(const DeviceCatalogue&) = delete;
    DeviceCatalogue& operator=(const DeviceCatalogue&) = delete;

    // "E:/" and its NUL once a drive was found; the empty text until then.
    const char* DriveRoot() const { return driveRoot_; }
    // Copies the four characters of a root such as "E:/" with its NUL.
    void SetDriveRoot(const char (&root)[4]);

    // Null until the first load.
    CatalogueLists* Lists() const { return lists_.get(); }
    // Releases the lists of an earlier load and installs fresh, empty ones.
    CatalogueLists& ReplaceLists();
    TrackRecord* FirstTrack() const { return lists_ ? lists_->FirstTrack() : nullptr; }

  private:
    char driveRoot_[4] = {0, 0, 0, 0};
    std::unique_ptr<CatalogueLists> lists_;
};
