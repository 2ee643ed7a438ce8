// The tracks an export lists: the rows the library view shows for a search and an order, with the
// texts as the catalogue gives them.
#pragma once

#include <cstdint>
#include <vector>

#include "library/library_item.h"

class DeviceCatalogue;
struct SortState;

// The view's column headers, by column number; exports name their fields so.
extern const char* const kViewColumnNames[kColumnCount];

// One track of an export. The view blanks a title's bytes of 0x80 and above and builds the
// filename from the drive; an export keeps the parser's texts instead. Where the catalogue has no
// text the view's own value stands (the artist "Unknown artist", empty title and genre). Texts
// point into the catalogue's records or at constants: they live as long as the records do.
struct ExportRow {
    const char* artist;
    const char* title;
    const char* album;
    int32_t length;  // seconds
    int32_t track;
    const char* genre;
    int32_t year;
    const char* filename;  // the audio file's path as the catalogue names it, "" when it names none
};

// A cell of an export: a text, or (text null) a number.
struct ExportCell {
    const char* text;
    int32_t number;
};

// The cell of `row` in `column` (0-7, the view's column numbers).
ExportCell CellOf(const ExportRow& row, int column);

// The tracks of the catalogue's current lists that the view shows for the search text `query`,
// in the order `sort` gives them, without the sample row the library adds. False when memory
// runs out; `rows` is then incomplete.
bool CollectExportRows(const DeviceCatalogue& catalogue, const char* query, const SortState& sort,
                       std::vector<ExportRow>& rows);
