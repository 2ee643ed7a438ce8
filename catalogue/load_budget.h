// The budget of one catalogue load: ceilings far above any real player that
// bound what a hostile one can make the plug-in read and hold.
//
// A player holds at most a few thousand tracks (an MR-100 with 5,000 tracks is
// full). A manifest linked many times is read once; its later links take what
// the first read gave, within the same budget.
#pragma once

#include <cstddef>

struct LoadCeilings {
    size_t bytesRead;  // file bytes read, all files of the load together
    size_t tracks;     // track records made
    size_t albums;     // album records made
    size_t textKept;   // bytes of text copied into records
};

// Each is 15 to 40 times what a full player needs, and above what a
// 50,000-track test image needs: a 5,000-track player reads 8.5 MB of files,
// makes about 450 albums and keeps under 1 MB of text (the test image ten
// times that).
constexpr LoadCeilings kLoadCeilings = {128u * 1024 * 1024, 100000, 20000, 32u * 1024 * 1024};

// What the album pass may spend of a load's ceilings; the music pass, whose
// tracks are what the view shows, has all the rest. A full player's album pass
// reads 0.63 MB (album.mum and about 450 album manifests) and keeps some 50 KB
// of text, against 7.7 MB and 1 MB for its music pass. An eighth of the read
// and text ceilings (16 MB and 4 MB) is 25 and 80 times what the album pass
// needs, as the ceilings are to a full player, and leaves the music pass at
// least 14 times what it needs. Albums are not shown: a pass stopped at its
// share costs the view nothing.
constexpr LoadCeilings AlbumPassShare(const LoadCeilings& ceilings) {
    return {ceilings.bytesRead / 8, ceilings.tracks, ceilings.albums, ceilings.textKept / 8};
}

// No single text kept is longer: a real title or path has well under 300
// characters, and the host's list shows far fewer. A longer text is cut, at
// the start of a UTF-8 character where it is UTF-8.
constexpr size_t kMaxTextLength = 4096;

enum class LoadCeiling { None, BytesRead, Tracks, Albums, TextKept };

// "bytes read", "tracks", "albums", "text kept"; "" for None.
const char* LoadCeilingName(LoadCeiling ceiling);

// Spending is counted for the whole load and for the pass under way. A pass
// may spend at most its share of each ceiling and no more than the load has
// left of it; reaching either stops the pass, and the next pass starts afresh
// with what is left.
class LoadBudget {
  public:
    explicit LoadBudget(const LoadCeilings& ceilings = kLoadCeilings);

    // Starts a pass that may spend `share` of each ceiling; until the first
    // call, the one pass may spend everything.
    void BeginPass(const LoadCeilings& share);

    // Each takes its amount from the budget, or, when that would pass the
    // ceiling or the pass's share, takes nothing, stops the pass and answers
    // false. Once stopped, every call answers false until the next pass.
    bool SpendBytes(size_t bytes);
    bool SpendTrack();
    bool SpendAlbum();
    bool SpendText(size_t bytes);

    bool Stopped() const { return stoppedBy_ != LoadCeiling::None; }
    LoadCeiling StoppedBy() const { return stoppedBy_; }
    // True when the pass stopped at its share, below what the load had left.
    bool StoppedByShare() const { return stoppedByShare_; }
    // The value of a ceiling, or of the pass's share of it, in its own unit.
    size_t Ceiling(LoadCeiling ceiling) const;
    size_t Share(LoadCeiling ceiling) const;

  private:
    static constexpr int kKinds = 4;  // the ceilings after None, in LoadCeiling order

    bool Spend(LoadCeiling which, size_t amount);

    size_t ceiling_[kKinds];
    size_t share_[kKinds];
    size_t spent_[kKinds] = {};      // by the whole load
    size_t passSpent_[kKinds] = {};  // by the pass under way
    LoadCeiling stoppedBy_ = LoadCeiling::None;
    bool stoppedByShare_ = false;
};
