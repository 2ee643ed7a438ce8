// The search filter: which library rows the view shows, and the status line
// that says how many and how long they play.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "library/item_list.h"

struct LibraryLists;

// The search box is read with room for 255 bytes including the NUL, so a
// query holds at most 254 characters; a longer one is cut before splitting.
constexpr size_t kQueryBufferSize = 256;
constexpr int kMaxQueryLength = 254;
// Split terms need at most the query's length plus two bytes.
constexpr size_t kTermBufferSize = 300;
constexpr size_t kStatusLineSize = 512;

// Splits `query` into its terms: runs of bytes, each ended by a NUL, lying
// end to end in `terms`; an empty term ends the list. Spaces and tabs
// separate terms except inside double quotes; an opening quote never ends a
// term, a closing one always does. `size` is the room in `terms`: a query
// that needs more is cut to fit (size - 2 bytes), so nothing overflows.
void SplitQuery(const char* query, char* terms, size_t size);

// 1 when `term` occurs in `field`, ignoring the case of ASCII letters only
// (no locale), else 0. Checked in this order: an absent field gives 0, an
// empty term gives 1, an empty field gives 0.
int FieldContains(const char* field, const char* term);

// What one filter pass found.
struct FilterResult {
    std::unique_ptr<ItemList>
        rows;  // matching rows in library order; they stay owned by the library
    int32_t matchCount = 0;
    uint32_t matchSeconds = 0;  // lengths of the matching rows, wrapping at 2^32
    uint32_t totalSeconds = 0;  // lengths of all library rows, wrapping at 2^32
};

// The rows of `library` in which every term of `query` is found in the album,
// artist, title, genre or year text (the filename, length and track number
// are never searched). With no terms every row matches. The result's rows
// are null when memory for the rows' search texts or the new list runs out;
// when the list cannot grow, it holds the rows found until then, and the
// count and seconds describe exactly those. Reads every row's texts first:
// FilterLibrary keeps them from pass to pass.
FilterResult FilterRows(const ItemList& library, const char* query);

// FilterRows over the library list, scanning the lists' compact search texts,
// which it first brings up to date with rows that entered since the last pass.
FilterResult FilterLibrary(LibraryLists& lists, const char* query);

// "%d items [%d:%02d:%02d]" with the library's count and total when the pass
// kept every row, else "Found: %d items [%d:%02d:%02d]" with the matches'
// count and total. Totals are unsigned seconds split into hours (no bound),
// minutes and seconds.
void FormatStatusLine(char* buffer, size_t size, int32_t libraryCount, const FilterResult& result);
