// The catalogue import: from track records to library rows.
#include "library/catalogue_import.h"

#include <climits>
#include <cstring>
#include <new>

#include "base/code_page_text.h"
#include "base/debug_output.h"
#include "base/utf8_text.h"
#include "catalogue/catalogue_records.h"
#include "catalogue/catalogue_steps.h"
#include "catalogue/player_files.h"
#include "catalogue/snapshot_session.h"
#include "library/library_item.h"
#include "library/library_lists.h"

namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Bytes 0x80 and above do not show in the host's 8-bit list: they become
// spaces.
void BlankHighBytes(char* text) {
    for (; text != nullptr && *text != 0; ++text) {
        if (static_cast<unsigned char>(*text) >= 0x80) {
            *text = ' ';
        }
    }
}

// The drive letter and colon, then the audio file's path on the player. A
// track without a path gets the drive part alone; a long one is cut to fit.
char* BuildFilename(const char* driveRoot, const char* path) {
    char filename[kFilenameBufferSize];
    size_t length = 0;
    while (length < 2 && driveRoot[length] != 0) {
        filename[length] = driveRoot[length];
        ++length;
    }
    const size_t room = sizeof filename - 1 - length;
    const char* end = static_cast<const char*>(std::memchr(path, 0, room));
    const size_t taken = end != nullptr ? static_cast<size_t>(end - path) : room;
    std::memcpy(filename + length, path, taken);
    length += taken;
    filename[length] = 0;
    return CopyText(filename);
}

}  // namespace

int LeadingInteger(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    while (IsCSpace(*text)) {
        ++text;
    }
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') {
        ++text;
    }
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;  // saturated: more digits change nothing
        }
    }
    if (negative) {
        return static_cast<int>(-value);
    }
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

char* ShownCopy(const char* text, CodePageCopier toCodePage) {
    if (text == nullptr || toCodePage == nullptr || !IsNonAsciiUtf8(text)) {
        return CopyText(text);
    }
    // A conversion that fails keeps the catalogue's bytes, as a text in no
    // code page would be kept.
    char* shown = toCodePage(text);
    return shown != nullptr ? shown : CopyText(text);
}

TrackTexts TextsOfTrack(const TrackRecord& track) {
    TrackTexts texts{};
    texts[kColumnArtist] = track.Creator() != nullptr ? track.Creator() : kDefaultArtist;
    texts[kColumnTitle] = track.Title() != nullptr ? track.Title() : "";
    texts[kColumnAlbum] = kPlaceholderAlbum;
    texts[kColumnGenre] = track.Genre() != nullptr ? track.Genre() : "";
    texts[kColumnFilename] = track.LastUrl() != nullptr ? track.LastUrl() : "";
    return texts;
}

LibraryItem* RowFromTrack(const TrackRecord& track, const char* driveRoot,
                          CodePageCopier toCodePage) {
    LibraryItem* row = NewRow();
    if (row == nullptr) {
        return nullptr;
    }
    const TrackTexts texts = TextsOfTrack(track);
    row->origin = RowOrigin::Device;
    row->filename = BuildFilename(driveRoot, texts[kColumnFilename]);
    row->album = CopyText(texts[kColumnAlbum]);
    row->artist = ShownCopy(texts[kColumnArtist], toCodePage);
    row->genre = ShownCopy(texts[kColumnGenre], toCodePage);
    row->length = LeadingInteger(track.PlayingTime());
    row->track = 1;
    row->title = CopyText(texts[kColumnTitle]);
    BlankHighBytes(row->title);
    row->year = LeadingInteger(track.Recorded());
    return row;
}

void AppendSampleRow(ItemList& library) {
    LibraryItem* row = NewRow();
    if (row == nullptr) {
        return;
    }
    row->origin = RowOrigin::Sample;
    row->filename = CopyText("http://www.example.com/ml_kovra/sample.mp3");
    row->album = CopyText("SEP");
    row->artist = CopyText("Nullsoft Band");
    row->genre = CopyText("Shit");
    row->length = 666;
    row->track = 1;
    row->title = CopyText("Uhmm errors?");
    row->year = 2003;
    AdoptRow(library, row);
}

void AppendCatalogueRows(const DeviceCatalogue& catalogue, ItemList& library,
                         CodePageCopier toCodePage, ImportObserver* observer) {
    ImportObserver quiet;
    ImportObserver& progress = observer != nullptr ? *observer : quiet;
    const int total = CountRecords(catalogue.FirstTrack());
    int position = 0;
    for (const TrackRecord* track = catalogue.FirstTrack(); track != nullptr;
         track = track->Next(), ++position) {
        DebugPrintf("Adding Song %d\n", position);
        if (LibraryItem* row = RowFromTrack(*track, catalogue.DriveRoot(), toCodePage)) {
            AdoptRow(library, row);
        }
        progress.OnRowsAdded(position + 1, total);
    }
    AppendSampleRow(library);
}

namespace {

// Loads the catalogue of the player at the catalogue's drive root; false,
// with the records read so far dropped, when the player was pulled (or
// another put in its place) during the load, so that no partial rows come of
// it. The load starts from the snapshot at `snapshotPath` (may be empty).
bool LoadWhilePlugged(DeviceCatalogue& catalogue, const std::optional<VolumeIdentity>& player,
                      ImportObserver* observer, const char* snapshotPath) {
    PlayerFiles files(catalogue.DriveRoot(), player);
    try {
        LoadCatalogueWithSnapshot(catalogue, observer, snapshotPath, kLoadCeilings, &files);
    } catch (const std::bad_alloc&) {
        // The records read so far stay (the last may lack the texts it was
        // being given); the rows are made as after any other load that
        // stopped early.
        DebugPrintf("Catalogue load stopped: out of memory\n");
    }
    if (player && (files.Pulled() || PlayerAt(catalogue.DriveRoot()) != player)) {
        DebugPrintf("Catalogue load dropped: the player was pulled\n");
        catalogue.ReplaceLists();
        return false;
    }
    return true;
}

}  // namespace

void ImportCatalogue(DeviceCatalogue& catalogue, LibraryLists& lists,
                     void (*locate)(DeviceCatalogue&), ImportObserver* observer,
                     const SettingsFile& settings) {
    RemovePlayerRows(lists, SampleRow::kGoes);
    lists.player.reset();
    if (locate != nullptr) {
        locate(catalogue);
    }
    const std::optional<VolumeIdentity> player = PlayerAt(catalogue.DriveRoot());
    const PathText snapshotPath = SnapshotPathBeside(settings.path);
    if (LoadWhilePlugged(catalogue, player, observer, snapshotPath.Get()) && player) {
        HeldPlayer held = {};
        std::memcpy(held.root, catalogue.DriveRoot(), sizeof held.root);
        held.identity = *player;
        lists.player = held;
    }
    AppendCatalogueRows(catalogue, lists.library, CodePageCopyOfUtf8, observer);
    lists.playerRead = true;
}
