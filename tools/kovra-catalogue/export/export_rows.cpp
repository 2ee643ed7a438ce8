// Picks and orders the exported tracks exactly as the view does, through the view's own rows.
#include "tools/kovra-catalogue/export/export_rows.h"

#include <unordered_map>

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

bool CollectExportRows(const DeviceCatalogue& catalogue, const char* query, const SortState& sort,
                       std::vector<ExportRow>& rows) {
    // The view's rows are made, searched and sorted as the view makes them; each then leads back
    // to the track it was made from.
    LibraryLists lists;
    std::unordered_map<const LibraryItem*, const TrackRecord*> trackOfRow;
    for (const TrackRecord* track = catalogue.FirstTrack(); track != nullptr;
         track = track->Next()) {
        // The command works in UTF-8: its rows keep the catalogue's artists and genres.
        LibraryItem* row = RowFromTrack(*track, catalogue.DriveRoot(), nullptr);
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
    SortRows(*found.rows, sort, lists.sortRanks);
    rows.reserve(rows.size() + static_cast<size_t>(found.rows->Count()));
    for (int32_t i = 0; i < found.rows->Count(); ++i) {
        const LibraryItem* row = found.rows->Get(i);
        rows.push_back(ExportRowOf(*row, *trackOfRow.at(row)));
    }
    return true;
}
