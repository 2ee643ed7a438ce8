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

// Reads the player as at a fresh start, next to the host's rows: frees the rows
// of an earlier read and the sample row, finds the player with `locate`, loads
// its catalogue and appends one row per track and the sample row, with artists
// and genres in the system's code page, and notes the player read as the
// library's (HeldPlayer). Runs no filter pass. `locate` sets the catalogue's
// drive root, or leaves it. When memory runs out during the load, the tracks
// read until then become rows; when the player is pulled during the load, none
// do (the sample row alone is appended) and no player is held. `observer` may
// be null.
// With a settings file, the read starts from the snapshot of the player's last
// read kept in its folder (kSnapshotFileName), reads only the catalogue files
// changed since, and leaves a new snapshot there: the same rows, sooner.
void ImportCatalogue(DeviceCatalogue& catalogue, LibraryLists& lists,
                     void (*locate)(DeviceCatalogue&), ImportObserver* observer = nullptr,
                     const SettingsFile& settings = kNoSettingsFile);

// Makes the code-page spelling of a well-formed UTF-8 text as a new text
// (FreeText), or null; CodePageCopyOfUtf8 (base/code_page_text.h) for the
// view, whose list and host records read texts in the system's code page.
using CodePageCopier = char* (*)(const char* utf8);

// A row's copy of a catalogue artist or genre: a well-formed UTF-8 text that
// holds a character beyond ASCII is spelled by `toCodePage`; plain ASCII, a
// text that is no UTF-8 (written in a code page already), and every text when
// `toCodePage` is null (kovra-catalogue works in UTF-8) are copied as they are.
// Null for null and when memory runs out.
char* ShownCopy(const char* text, CodePageCopier toCodePage);

// Appends a row for each track of the catalogue's current lists, writing the
// debug line "Adding Song n" for each, then the sample row. Artists and genres
// go through ShownCopy with `toCodePage`. `observer` (may be null) hears how
// many rows are in.
void AppendCatalogueRows(const DeviceCatalogue& catalogue, ItemList& library,
                         CodePageCopier toCodePage, ImportObserver* observer = nullptr);

// The texts of a track's row, by column: the catalogue's own where it has
// one, else the default artist, an empty title, genre and path; the album is
// the placeholder. Number columns hold null. The texts point into the track's
// record or at constants. The view's row then blanks the title's bytes of
// 0x80 and above, spells the artist and genre in the code page and puts the
// drive before the path; an export keeps them.
using TrackTexts = std::array<const char*, kColumnCount>;
TrackTexts TextsOfTrack(const TrackRecord& track);

// A new row for `track` on the drive `driveRoot`, its artist and genre through
// ShownCopy with `toCodePage`; null when memory runs out.
LibraryItem* RowFromTrack(const TrackRecord& track, const char* driveRoot,
                          CodePageCopier toCodePage);

// The leading decimal integer of `text` as atoi reads it (leading white
// space, a sign, digits), but clamped to the 32-bit range where atoi's
// result would be undefined. 0 for null or no digits.
int LeadingInteger(const char* text);

void AppendSampleRow(ItemList& library);
