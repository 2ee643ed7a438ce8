// The sort order of the result list: sort keys, the row comparison with its
// fixed tie-break chains, and the column-click rule.
#pragma once

#include <cstdint>

class ItemList;
struct LibraryItem;

// Process-wide while the plug-in is loaded; read from the settings file when
// a view opens and changed by column clicks.
struct SortState {
    int32_t column = 0;     // a column number; outside 0-6 every pair of rows compares equal
    int32_t direction = 0;  // 0 ascending, anything else descending
};

// The key a text sorts by: the text itself past leading bytes that are not
// ASCII letters or digits, then past one leading "the " (any case), then past
// spaces. Points into `text`; an absent text gives the empty text. Never null.
const char* SortKey(const char* text);

// Negative, 0 or positive as SortKey(a) orders before, with or after
// SortKey(b), comparing bytes as unsigned after lowering A-Z.
int CompareKeys(const char* a, const char* b);

// -1, 0 or +1 for rows a and b under `state`: up to four keys along the
// column's tie-break chain; once Album ties, the rest of the chain ascends.
int CompareRows(const LibraryItem& a, const LibraryItem& b, const SortState& state);

// Sorts the list's pointers in place with CompareRows (not stable).
void SortRows(ItemList& rows, const SortState& state);

// A click on a column header: the same column flips the direction (to 1 from
// 0, to 0 from anything else); another column becomes the sort column and
// keeps the direction.
void ApplyColumnClick(SortState& state, int32_t column);
