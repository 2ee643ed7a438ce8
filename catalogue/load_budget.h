// The budget of one catalogue load: ceilings far above any real player that
// bound what a hostile one can make the plug-in read and hold.
//
// A player holds at most a few thousand tracks (an MR-100 with 5,000 tracks is
// full). A manifest linked many times is read each time, within the same budget.
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

// No single text kept is longer: a real title or path has well under 300
// characters, and the host's list shows far fewer. A longer text is cut.
constexpr size_t kMaxTextLength = 4096;

enum class LoadCeiling { None, BytesRead, Tracks, Albums, TextKept };

// "bytes read", "tracks", "albums", "text kept"; "" for None.
const char* LoadCeilingName(LoadCeiling ceiling);

class LoadBudget {
  public:
    explicit LoadBudget(const LoadCeilings& ceilings = kLoadCeilings) : ceilings_(ceilings) {}

    // Bytes a file may still have without passing the bytes-read ceiling.
    size_t BytesLeft() const { return ceilings_.bytesRead - bytesRead_; }

    // Each takes its amount from the budget, or, when that would pass the
    // ceiling, takes nothing, stops the budget and answers false. Once
    // stopped, every call answers false.
    bool SpendBytes(size_t bytes);
    bool SpendTrack();
    bool SpendAlbum();
    bool SpendText(size_t bytes);

    bool Stopped() const { return stoppedBy_ != LoadCeiling::None; }
    LoadCeiling StoppedBy() const { return stoppedBy_; }
    // The value of a ceiling, in its own unit.
    size_t Ceiling(LoadCeiling ceiling) const;

    // Ends the budget at `ceiling` (the caller found it reached).
    void Stop(LoadCeiling ceiling);

  private:
    bool Spend(size_t& spent, size_t amount, size_t ceiling, LoadCeiling which);

    LoadCeilings ceilings_;
    size_t bytesRead_ = 0;
    size_t tracks_ = 0;
    size_t albums_ = 0;
    size_t textKept_ = 0;
    LoadCeiling stoppedBy_ = LoadCeiling::None;
};
