// One look at the player: its rows leave with it, and a player that came is
// read.
#include "library/player_follow.h"

#include "catalogue/catalogue_records.h"
#include "catalogue/player_files.h"
#include "library/library_lists.h"

namespace {

bool HeldPlayerLeft(const LibraryLists& lists) {
    return lists.player && PlayerAt(lists.player->root) != lists.player->identity;
}

// Whether there is a player to read: the library holds none, it was read
// before, and a player is found.
bool PlayerToRead(DeviceCatalogue& catalogue, const LibraryLists& lists,
                  void (*locate)(DeviceCatalogue&)) {
    if (lists.player || !lists.playerRead || locate == nullptr) {
        return false;
    }
    locate(catalogue);
    return PlayerAt(catalogue.DriveRoot()).has_value();
}

}  // namespace

PlayerChange FollowPlayer(DeviceCatalogue& catalogue, LibraryLists& lists,
                          void (*locate)(DeviceCatalogue&), ImportObserver* observer,
                          ReadNow readNow, const SettingsFile& settings) {
    if (lists.rowsOnLoan > 0) {
        return PlayerChange::kWaits;
    }
    PlayerChange change = PlayerChange::kNone;
    if (HeldPlayerLeft(lists)) {
        RemovePlayerRows(lists, SampleRow::kStays);
        lists.player.reset();
        change = PlayerChange::kRowsLeft;
    }
    if (readNow == ReadNow::kNo) {
        return change;
    }
    if (lists.library.Count() == 0 || PlayerToRead(catalogue, lists, locate)) {
        ImportCatalogue(catalogue, lists, locate, observer, settings);
        change = PlayerChange::kRead;
    }
    return change;
}
