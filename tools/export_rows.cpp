// Picks and orders the exported tracks exactly as the view does, through the view's own rows.
#include "tools/export_rows.h"

#include <unordered_map>

#include "catalogue/catalogue_records.h"
#include "library/catalogue_import.h"
#include "library/library_lists.h"
#include "library/search_filter.h"
#include "library/sort_order.h"

const char* const kViewColumnNames[kColumnCount] = {
    "Artist", "Title", "Album", "Length", "Track #", "Genre", "Year", "Filename",
};

namespace {

const char* TextOr(const char* text, const char* fallback) {
    return text != nullptr ? text : fallback;
}

// The row's numbers, the track's texts.
ExportRow ExportRowOf(const LibraryItem& row, const TrackRecord& track) {
    ExportRow exported;
    exported.artist = TextOr(track.Creator(), kDefaultArtist);
    exported.title = TextOr(track.Title(), "");
    exported.album = kPlaceholderAlbum;
    exported.length = row.length;
    exported.track = row.track;
    exported.genre = TextOr(track.Genre(), "");
    exported.year = row.year;
    exported.filename = TextOr(track.LastUrl(), "");
    return exported;
}

}  // namespace

ExportCell CellOf(const ExportRow& row, int column) {
    switch (column) {
        case kColumnArtist:
            return {row.artist, 0};
        case kColumnTitle:
            return {row.title, 0};
        case kColumnAlbum:
            return {row.album, 0};
        case kColumnLength:
            return {nullptr, row.length};
        case kColumnTrack:
            return {nullptr, row.track};
        case kColumnGenre:
            return {row.genre, 0};
        case kColumnYear:
            return {nullptr, row.year};
        default:
            return {row.filename, 0};
    }
}

bool CollectExportRows(const DeviceCatalogue& catalogue, const char* query, const SortState& sort,
                       std::vector<ExportRow>& rows) {
    // The view's rows are made, searched and sorted as the view makes them; each then leads back
    // to the track it was made from.
    LibraryLists lists;
    std::unordered_map<const LibraryItem*, const TrackRecord*> trackOfRow;
    for (const TrackRecord* track = catalogue.FirstTrack(); track != nullptr;
         track = track->Next()) {
        LibraryItem* row = RowFromTrack(*track, catalogue.DriveRoot());
        if (row == nullptr) {
            return false;
        }
        trackOfRow[row] = track;
        if (!AdoptRow(lists.library, row)) {
            return false;
        }
    }
    FilterResult found = FilterRows(lists.library, query);
    if (!found.rows) {
        return false;
    }
    SortRows(*found.rows, sort);
    rows.reserve(rows.size() + static_cast<size_t>(found.rows->Count()));
    for (int32_t i = 0; i < found.rows->Count(); ++i) {
        const LibraryItem* row = found.rows->Get(i);
        rows.push_back(ExportRowOf(*row, *trackOfRow.at(row)));
    }
    return true;
}
