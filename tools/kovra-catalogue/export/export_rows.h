// The tracks an export lists: the rows the library view shows for a search and
// an order, with the texts as the catalogue gives them.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "library/catalogue_import.h"
#include "library/columns.h"
#include "library/library_lists.h"
#include "library/search_filter.h"

class DeviceCatalogue;
class TrackRecord;
struct SortState;

// The rows the library view shows for a search and an order: the view's own
// lists, made from the catalogue's tracks as the view makes them, searched and
// sorted. `--rows` prints them as the view does; an export leads each back to
// the track it was made from.
struct ShownRows {
    LibraryLists lists;
    FilterResult found;  // the rows the search finds, in the order asked for
    std::unordered_map<const LibraryItem*, const TrackRecord*> trackOfRow;  // null: the sample row
};

// Fills `shown` with the rows of the catalogue's current lists that the view
// shows for the search text `query`, in the order `sort` gives them, with the
// sample row the library adds when `sampleRow`. False when memory runs out.
bool FindShownRows(const DeviceCatalogue& catalogue, const char* query, const SortState& sort,
                   bool sampleRow, ShownRows& shown);

// One track of an export: its row's texts as the catalogue gives them
// (TextsOfTrack: the view's row blanks a title's bytes of 0x80 and above and
// builds the filename from the drive; an export keeps the parser's texts, with
// the view's fallbacks) and its row's numbers. Texts point into the catalogue's
// records or at constants: they live as long as the records do.
struct ExportRow {
    TrackTexts texts;               // by column; null in number columns
    int32_t numbers[kColumnCount];  // by column; 0 in text columns

    const char* Text(int column) const { return texts[column]; }
    int32_t Number(int column) const { return numbers[column]; }
};

// A cell of an export: a text, or (text null) a number.
struct ExportCell {
    const char* text;
    int32_t number;
};

// The cell of `row` in `column` (0-7, the view's column numbers).
ExportCell CellOf(const ExportRow& row, int column);

// The tracks of the catalogue's current lists that the view shows for the
// search text `query`, in the order `sort` gives them, without the sample row
// the library adds. False when memory runs out; `rows` is then incomplete.
bool CollectExportRows(const DeviceCatalogue& catalogue, const char* query, const SortState& sort,
                       std::vector<ExportRow>& rows);
