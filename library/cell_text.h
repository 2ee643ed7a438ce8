// The texts the view shows in its cells, and the list's keyboard search.
#pragma once

#include <cstddef>
#include <cstdint>

class ItemList;
struct LibraryItem;

// Room the view gives formatted numbers.
constexpr size_t kCellTextSize = 256;

// The text of `column` for `row`: the row's own text (the empty text when it
// is absent) or a number formatted into `buffer` as its column shows it
// (library/columns.h). A column outside 0-7 gives the empty text. Never null.
const char* CellText(const LibraryItem& row, int column, char* buffer, size_t size);

// Flags of a find request, with the values of the list control's own.
enum FindFlags : unsigned {
    kFindString = 0x2,
    kFindSubstring = 0x4,
    kFindPartial = 0x8,
    kFindWrap = 0x20,
};

// The list's type-ahead: the index of the first row, from `start` on (0 when
// start is outside the list), whose sort key of its `sortColumn` cell text
// begins with `typed` (partial or substring flag) or equals it (string
// flag), ignoring ASCII case; with kFindWrap the rows above `start` are
// examined too. -1 when nothing matches, when the list is empty or when no
// string flag is given. A null `typed` counts as the empty text.
int32_t FindRowByKey(const ItemList& rows, int32_t sortColumn, int32_t start, unsigned flags,
                     const char* typed);
