// Keeping the library in step with the player as it comes and goes: the rows
// of a player that left go, a player that came is read.
#pragma once

#include "library/catalogue_import.h"

class DeviceCatalogue;
struct LibraryLists;

// Whether a player found may be read now, or only looked after: reading
// waits for the view, which shows how it goes.
enum class ReadNow { kYes, kNo };

// What one look at the player changed.
enum class PlayerChange {
    kNone,      // nothing
    kRowsLeft,  // the rows of the player held left the library
    kRead,      // the player was read (an import ran), maybe after rows left
    kWaits,     // nothing: the host holds lent rows; look again later
};

// One look at the player. While the host holds lent rows nothing happens.
// Otherwise, when the player held is no longer at its drive (pulled, or
// another put there), its rows leave the library; the host's rows and the
// sample row stay. Then, with kYes: an empty library is read as at the very
// first opening (the sample row even without a player); a library that
// holds no player's rows and was read before is read when `locate` finds a
// player. A library that holds the host's items and was never read is
// never filled from the player, and a player held stays while another
// comes. `observer` (may be null) watches a read; a read starts from the
// snapshot beside `settings` (ImportCatalogue).
PlayerChange FollowPlayer(DeviceCatalogue& catalogue, LibraryLists& lists,
                          void (*locate)(DeviceCatalogue&), ImportObserver* observer,
                          ReadNow readNow, const SettingsFile& settings = kNoSettingsFile);
