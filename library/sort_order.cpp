// Sort keys, the row comparison with its tie-break chains, and column clicks.
#include "library/sort_order.h"

#include <algorithm>

#include "library/ascii_text.h"
#include "library/item_list.h"
#include "library/library_item.h"

namespace {

bool IsTextColumn(int32_t column) {
    return column == kColumnArtist || column == kColumnTitle || column == kColumnAlbum ||
           column == kColumnGenre;
}

const char* TextOf(const LibraryItem& row, int32_t column) {
    switch (column) {
        case kColumnArtist:
            return row.artist;
        case kColumnTitle:
            return row.title;
        case kColumnAlbum:
            return row.album;
        default:
            return row.genre;
    }
}

int32_t NumberOf(const LibraryItem& row, int32_t column) {
    int32_t value = row.year;
    if (column == kColumnLength) {
        value = row.length;
    } else if (column == kColumnTrack) {
        value = row.track;
    }
    // Unknown numbers are stored as negatives by some devices; they group with zero.
    return value < 0 ? 0 : value;
}

// Negative, 0 or positive in ascending order of one column.
int CompareColumn(const LibraryItem& a, const LibraryItem& b, int32_t column) {
    if (IsTextColumn(column)) {
        return CompareKeys(TextOf(a, column), TextOf(b, column));
    }
    const int32_t x = NumberOf(a, column);
    const int32_t y = NumberOf(b, column);
    return (x > y) - (x < y);
}

// The key that decides a tie on `column`. Every chain is fixed per sort column,
// which keeps the comparison a strict weak ordering for std::sort.
int32_t NextKey(int32_t column) {
    switch (column) {
        case kColumnArtist:
            return kColumnAlbum;
        case kColumnAlbum:
            return kColumnTrack;
        case kColumnTrack:
            return kColumnTitle;
        default:
            return kColumnArtist;
    }
}

constexpr int kChainLength = 4;

}  // namespace

const char* SortKey(const char* text) {
    if (text == nullptr) {
        return "";
    }
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p != 0 && !IsAsciiLetterOrDigit(*p)) {
        ++p;
    }
    // Short-circuiting stops at the terminator, so a short text is never read past its end.
    if (AsciiLower(p[0]) == 't' && AsciiLower(p[1]) == 'h' && AsciiLower(p[2]) == 'e' &&
        p[3] == ' ') {
        p += 4;
    }
    while (*p == ' ') {
        ++p;
    }
    return reinterpret_cast<const char*>(p);
}

int CompareKeys(const char* a, const char* b) {
    return AsciiCompareNoCase(SortKey(a), SortKey(b));
}

int CompareRows(const LibraryItem& a, const LibraryItem& b, const SortState& state) {
    int32_t column = state.column;
    int32_t direction = state.direction;
    if (column < kColumnArtist || column > kColumnYear) {
        return 0;
    }
    for (int step = 0; step < kChainLength; ++step) {
        const int order = CompareColumn(a, b, column);
        if (order < 0) {
            return direction == 0 ? -1 : 1;
        }
        if (order > 0) {
            return direction == 0 ? 1 : -1;
        }
        // Tracks of one album always read in play order, whichever way albums run.
        if (column == kColumnAlbum) {
            direction = 0;
        }
        column = NextKey(column);
    }
    return 0;
}

void SortRows(ItemList& rows, const SortState& state) {
    LibraryItem** items = rows.Items();
    const int32_t count = rows.Count();
    if (items == nullptr || count < 2) {
        return;
    }
    // A null entry orders before every row, so the comparator stays a strict weak ordering.
    std::sort(items, items + count, [&state](const LibraryItem* a, const LibraryItem* b) {
        if (a == nullptr || b == nullptr) {
            return a == nullptr && b != nullptr;
        }
        return CompareRows(*a, *b, state) < 0;
    });
}

void ApplyColumnClick(SortState& state, int32_t column) {
    if (column == state.column) {
        state.direction = state.direction == 0 ? 1 : 0;
    } else {
        state.column = column;
    }
}
