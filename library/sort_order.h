// The sort order of the result list: the row comparison with its fixed
// tie-break chains, the stable sort, and the column-click rule.
#pragma once

#include <cstdint>

#include "library/sort_key.h"

class ItemList;
class SortRanks;
struct LibraryItem;

// A sort column and direction. The view keeps one in its state, read from the
// settings file when a view opens and changed by column clicks;
// kovra-catalogue takes one from its command line.
struct SortState {
    int32_t column = 0;     // a column number; a column that does not sort
                            // (library/columns.h) compares every pair of rows
                            // equal
    int32_t direction = 0;  // 0 ascending, anything else descending
};

// -1, 0 or +1 for rows a and b under `state`: up to four keys along the
// column's tie-break chain; once Album ties, the rest of the chain ascends.
// Derives the keys from the texts on every call: this defines the order
// that SortRows makes.
int CompareRows(const LibraryItem& a, const LibraryItem& b, const SortState& state);

// Sorts the list's pointers in place into the order of CompareRows. Stable
// in library order: rows that compare equal keep the order of their library
// list (rows outside a library keep their order in `rows`). Null entries go
// first. Text keys are compared as ranks among the rows themselves.
void SortRows(ItemList& rows, const SortState& state);

// The same order for rows of the library that `libraryRanks` ranks: text
// keys are compared as the library's ranks when every row is that
// library's, else as ranks among the rows themselves.
void SortRows(ItemList& rows, const SortState& state, SortRanks& libraryRanks);

// A click on a column header: the same column flips the direction (to 1 from
// 0, to 0 from anything else); another column becomes the sort column and
// keeps the direction.
void ApplyColumnClick(SortState& state, int32_t column);
