// The ceilings of one catalogue load.
#include "catalogue/load_budget.h"

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

bool LoadBudget::Spend(size_t& spent, size_t amount, size_t ceiling, LoadCeiling which) {
    if (Stopped()) {
        return false;
    }
    if (amount > ceiling - spent) {
        Stop(which);
        return false;
    }
    spent += amount;
    return true;
}

bool LoadBudget::SpendBytes(size_t bytes) {
    return Spend(bytesRead_, bytes, ceilings_.bytesRead, LoadCeiling::BytesRead);
}

bool LoadBudget::SpendTrack() {
    return Spend(tracks_, 1, ceilings_.tracks, LoadCeiling::Tracks);
}

bool LoadBudget::SpendAlbum() {
    return Spend(albums_, 1, ceilings_.albums, LoadCeiling::Albums);
}

bool LoadBudget::SpendText(size_t bytes) {
    return Spend(textKept_, bytes, ceilings_.textKept, LoadCeiling::TextKept);
}

size_t LoadBudget::Ceiling(LoadCeiling ceiling) const {
    switch (ceiling) {
        case LoadCeiling::BytesRead:
            return ceilings_.bytesRead;
        case LoadCeiling::Tracks:
            return ceilings_.tracks;
        case LoadCeiling::Albums:
            return ceilings_.albums;
        case LoadCeiling::TextKept:
            return ceilings_.textKept;
        case LoadCeiling::None:
            break;
    }
    return 0;
}

void LoadBudget::Stop(LoadCeiling ceiling) {
    if (!Stopped()) {
        stoppedBy_ = ceiling;
    }
}
