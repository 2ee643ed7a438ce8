// Album and track records, their lists and the device catalogue that owns them.
#include "catalogue/catalogue_records.h"

#include <cassert>
#include <cstring>

// The one unlink of both record lists: the neighbours of `record` point at
// each other instead.
struct RecordLinks {
    template <typename Record>
    static void Unlink(Record& record) {
        if (record.previous_ != nullptr) {
            assert(record.previous_->next_ == &record);
            record.previous_->next_ = record.next_;
        }
        if (record.next_ != nullptr) {
            assert(record.next_->previous_ == &record);
            record.next_->previous_ = record.previous_;
        }
    }
};

// ---------------------------------------------------------------------------
// AlbumRecord

AlbumRecord::AlbumRecord(AlbumRecord* after) : previous_(after) {
    if (after != nullptr) {
        after->next_ = this;
    }
}

AlbumRecord::~AlbumRecord() {
    RecordLinks::Unlink(*this);
    // Clearing the lists destroys albums before tracks: the tracks must not
    // keep pointing at an album that is gone.
    for (int32_t i = 0; i < trackCount_; ++i) {
        tracks_[i]->ownerAlbum_ = nullptr;
    }
    delete[] tracks_;
}

void AlbumRecord::AttachTrack(TrackRecord* track) {
    if (track == nullptr || track->ownerAlbum_ != nullptr) {
        return;
    }
    auto** grown = new TrackRecord*[trackCount_ + 1];
    if (trackCount_ > 0) {
        std::memcpy(grown, tracks_, sizeof(TrackRecord*) * trackCount_);
    }
    grown[trackCount_] = track;
    delete[] tracks_;
    tracks_ = grown;
    ++trackCount_;
    track->ownerAlbum_ = this;
}

void AlbumRecord::RemoveTrack(TrackRecord* track) {
    if (track == nullptr) {
        return;
    }
    int32_t at = 0;
    while (at < trackCount_ && tracks_[at] != track) {
        ++at;
    }
    // A track the album does not hold would leave no slot to drop: copying
    // the others into a shorter array would overrun it.
    if (at == trackCount_) {
        return;
    }
    TrackRecord** shrunk = nullptr;
    if (trackCount_ > 1) {
        shrunk = new TrackRecord*[trackCount_ - 1];
        int32_t out = 0;
        for (int32_t i = 0; i < trackCount_; ++i) {
            if (i != at) {
                shrunk[out++] = tracks_[i];
            }
        }
    }
    delete[] tracks_;
    tracks_ = shrunk;
    --trackCount_;
    if (track->ownerAlbum_ == this) {
        track->ownerAlbum_ = nullptr;
    }
}

// ---------------------------------------------------------------------------
// TrackRecord

TrackRecord::TrackRecord(TrackRecord* after) : previous_(after) {
    if (after != nullptr) {
        after->next_ = this;
    }
}

TrackRecord::~TrackRecord() {
    if (ownerAlbum_ != nullptr) {
        ownerAlbum_->RemoveTrack(this);
    }
    RecordLinks::Unlink(*this);
}

// ---------------------------------------------------------------------------
// CatalogueLists

AlbumRecord* CatalogueLists::AppendAlbum() {
    assert(lastAlbum_ == nullptr ? firstAlbum_ == nullptr : lastAlbum_->Next() == nullptr);
    auto* album = new AlbumRecord(lastAlbum_);
    if (firstAlbum_ == nullptr) {
        firstAlbum_ = album;
    }
    lastAlbum_ = album;
    return album;
}

TrackRecord* CatalogueLists::AppendTrack() {
    assert(lastTrack_ == nullptr ? firstTrack_ == nullptr : lastTrack_->Next() == nullptr);
    auto* track = new TrackRecord(lastTrack_);
    if (firstTrack_ == nullptr) {
        firstTrack_ = track;
    }
    lastTrack_ = track;
    return track;
}

void CatalogueLists::Clear() {
    while (firstAlbum_ != nullptr) {
        AlbumRecord* next = firstAlbum_->Next();
        delete firstAlbum_;
        firstAlbum_ = next;
    }
    while (firstTrack_ != nullptr) {
        TrackRecord* next = firstTrack_->Next();
        delete firstTrack_;
        firstTrack_ = next;
    }
    lastAlbum_ = nullptr;
    lastTrack_ = nullptr;
}

// ---------------------------------------------------------------------------
// DeviceCatalogue

DeviceCatalogue::~DeviceCatalogue() = default;

void DeviceCatalogue::SetDriveRoot(const char (&root)[4]) {
    std::memcpy(driveRoot_, root, sizeof driveRoot_);
}

CatalogueLists& DeviceCatalogue::ReplaceLists() {
    lists_.reset();
    lists_ = std::make_unique<CatalogueLists>();
    return *lists_;
}
