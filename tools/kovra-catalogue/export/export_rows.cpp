// Picks and orders the exported tracks exactly as the view does, through the
// view's own rows.
#include "tools/kovra-catalogue/export/export_rows.h"

#include "catalogue/catalogue_records.h"
#include "library/library_lists.h"
#include "library/search_filter.h"
#include "library/sort_order.h"

namespace {

ExportRow ExportRowOf(const LibraryItem& row, const TrackRecord& track) {
    ExportRow exported{TextsOfTrack(track), {}};
    for (int column = 0; column < kColumnCount; ++column) {
        if (!kColumns[column].IsText()) {
            exported.numbers[column] = row.*kColumns[column].number;
        }
    }
    return exported;
}

}  // namespace

ExportCell CellOf(const ExportRow& row, int column) {
    return {row.Text(column), row.Number(column)};
}

bool FindShownRows(const DeviceCatalogue& catalogue, const char* query, const SortState& sort,
                   bool sampleRow, ShownRows& shown) {
    ItemList& library = shown.lists.library;
    for (const TrackRecord* track = catalogue.FirstTrack(); track != nullptr;
         track = track->Next()) {
        // The command works in UTF-8: its rows keep the catalogue's artists and
        // genres.
        LibraryItem* row = RowFromTrack(*track, catalogue.DriveRoot(), nullptr);
        if (row == nullptr) {
            return false;
        }
        shown.trackOfRow[row] = track;
        if (!AdoptRow(library, row)) {
            return false;
        }
    }
    if (sampleRow) {
        AppendSampleRow(library);
    }
    shown.found = FilterLibrary(shown.lists, query);
    if (!shown.found.rows) {
        return false;
    }
    SortRows(*shown.found.rows, sort, shown.lists.sortRanks);
    return true;
}

bool CollectExportRows(const DeviceCatalogue& catalogue, const char* query, const SortState& sort,
                       std::vector<ExportRow>& rows) {
    // The view's rows, each then led back to the track it was made from.
    ShownRows shown;
    if (!FindShownRows(catalogue, query, sort, false, shown)) {
        return false;
    }
    const ItemList& found = *shown.found.rows;
    rows.reserve(rows.size() + static_cast<size_t>(found.Count()));
    for (int32_t i = 0; i < found.Count(); ++i) {
        const LibraryItem* row = found.Get(i);
        rows.push_back(ExportRowOf(*row, *shown.trackOfRow.at(row)));
    }
    return true;
}
