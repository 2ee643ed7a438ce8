// The library operations that reach into the view: the filter pass, re-sort,
// the column click and the reading of the stored sort order. Each works on
// whatever view and list control exist, and does nothing visible without them.
#pragma once

#include <cstdint>

// Reads the search box, rebuilds the result list, re-sorts it and writes the
// status line. Nothing at all happens while no view window is open.
void RunFilterPass();

// Sorts the result list and has the list control show its rows again,
// painting the visible rows once.
void ReSort();

// Flips or moves the sort order, stores it ("sortdir", then "sortcol") and
// re-sorts. The rows shown stay the same.
void OnColumnClick(int32_t column);

// "sortdir" (default 0) and "sortcol" (default: the current column), taken
// as they are. Nothing is sorted here.
void ReadStoredSortOrder();
