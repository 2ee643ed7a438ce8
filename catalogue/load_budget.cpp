// The ceilings of one catalogue load, and the share of them each pass may
// spend.
#include "catalogue/load_budget.h"

namespace {

int Index(LoadCeiling ceiling) {
    return static_cast<int>(ceiling) - 1;
}

}  // namespace

const char* LoadCeilingName(LoadCeiling ceiling) {
    switch (ceiling) {
        case LoadCeiling::BytesRead:
            return "bytes read";
        case LoadCeiling::Tracks:
            return "tracks";
        case LoadCeiling::Albums:
            return "albums";
        case LoadCeiling::TextKept:
            return "text kept";
        case LoadCeiling::None:
            break;
    }
    return "";
}

LoadBudget::LoadBudget(const LoadCeilings& ceilings)
    : ceiling_{ceilings.bytesRead, ceilings.tracks, ceilings.albums, ceilings.textKept},
      share_{ceilings.bytesRead, ceilings.tracks, ceilings.albums, ceilings.textKept} {}

void LoadBudget::BeginPass(const LoadCeilings& share) {
    const size_t shares[kKinds] = {share.bytesRead, share.tracks, share.albums, share.textKept};
    for (int i = 0; i < kKinds; ++i) {
        share_[i] = shares[i];
        passSpent_[i] = 0;
    }
    stoppedBy_ = LoadCeiling::None;
    stoppedByShare_ = false;
}

bool LoadBudget::Spend(LoadCeiling which, size_t amount) {
    if (Stopped()) {
        return false;
    }
    const int i = Index(which);
    const size_t loadLeft = ceiling_[i] - spent_[i];
    const size_t passLeft = share_[i] > passSpent_[i] ? share_[i] - passSpent_[i] : 0;
    if (amount > loadLeft || amount > passLeft) {
        stoppedBy_ = which;
        stoppedByShare_ = passLeft < loadLeft;
        return false;
    }
    spent_[i] += amount;
    passSpent_[i] += amount;
    return true;
}

bool LoadBudget::SpendBytes(size_t bytes) {
    return Spend(LoadCeiling::BytesRead, bytes);
}

bool LoadBudget::SpendTrack() {
    return Spend(LoadCeiling::Tracks, 1);
}

bool LoadBudget::SpendAlbum() {
    return Spend(LoadCeiling::Albums, 1);
}

bool LoadBudget::SpendText(size_t bytes) {
    return Spend(LoadCeiling::TextKept, bytes);
}

size_t LoadBudget::Ceiling(LoadCeiling ceiling) const {
    return ceiling == LoadCeiling::None ? 0 : ceiling_[Index(ceiling)];
}

size_t LoadBudget::Share(LoadCeiling ceiling) const {
    return ceiling == LoadCeiling::None ? 0 : share_[Index(ceiling)];
}
