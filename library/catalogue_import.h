// Turns the player's catalogue into library rows: one per track, then the
// fixed sample row.
#pragma once

#include <array>

#include "catalogue/load_observer.h"
#include "host/settings.h"
#include "library/columns.h"

class DeviceCatalogue;
class ItemList;
class TrackRecord;
struct LibraryItem;
struct LibraryLists;

// What the player's own rows show in place of an album, and who plays an
// anonymous track.
constexpr char kPlaceholderAlbum[] = "UHM NOT YET";
constexpr char kDefaultArtist[] = "Unknown artist";

// Built filenames are composed in a buffer of this size, cut to fit.
constexpr int kFilenameBufferSize = 256;

// Hears how an import goes: the load, as LoadCatalogue tells it, then the
// rows being added, which on a big player takes a while of its own.
class ImportObserver : public LoadObserver {
  public:
    // The rows of `added` tracks of `total` are in: called after each track.
    virtual void OnRowsAdded(int added, int total) {
        (void)added;
        (void)total;
    }
};

// Clears the library (freeing its rows), finds the player with `locate`,
// loads its catalogue and appends one row per track and the sample row.
// Runs no filter pass. `locate` sets the catalogue's drive root, or leaves it.
// When memory runs out during the load, the tracks read until then become
// rows. With no player found and no track read the library awaits the player.
// `observer` may be null. With a settings file, the read starts from the
// snapshot of the player's last read kept in its folder (kSnapshotFileName),
// reads only the catalogue files changed since, and leaves a new snapshot
// there: the same rows, sooner.
void ImportCatalogue(DeviceCatalogue& catalogue, LibraryLists& lists,
                     void (*locate)(DeviceCatalogue&), ImportObserver* observer = nullptr,
                     const SettingsFile& settings = kNoSettingsFile);

// Appends a row for each track of the catalogue's current lists, writing the
// debug line "Adding Song n" for each, then the sample row. `observer` (may be
// null) hears how many rows are in.
void AppendCatalogueRows(const DeviceCatalogue& catalogue, ItemList& library,
                         ImportObserver* observer = nullptr);

// The texts of a track's row, by column: the catalogue's own where it has
// one, else the default artist, an empty title, genre and path; the album is
// the placeholder. Number columns hold null. The texts point into the track's
// record or at constants. The view's row then blanks the title's bytes of
// 0x80 and above and puts the drive before the path; an export keeps them.
using TrackTexts = std::array<const char*, kColumnCount>;
TrackTexts TextsOfTrack(const TrackRecord& track);

// A new row for `track` on the drive `driveRoot`; null when memory runs out.
LibraryItem* RowFromTrack(const TrackRecord& track, const char* driveRoot);

// The leading decimal integer of `text` as atoi reads it (leading white
// space, a sign, digits), but clamped to the 32-bit range where atoi's
// result would be undefined. 0 for null or no digits.
int LeadingInteger(const char* text);

void AppendSampleRow(ItemList& library);
