// The row comparison with its tie-break chains, the stable sort, and column clicks.
#include "library/sort_order.h"

#include <algorithm>
#include <new>

#include "library/item_list.h"
#include "library/library_item.h"

namespace {

constexpr int kChainLength = 4;

// One key of a tie-break chain and the way it runs.
struct ChainKey {
    int32_t column;
    bool descending;
};

// The keys a sort column compares, in order; empty for columns without keys.
struct Chain {
    ChainKey keys[kChainLength];
    int length = 0;
};

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

Chain ChainFor(const SortState& state) {
    Chain chain;
    int32_t column = state.column;
    bool descending = state.direction != 0;
    if (column < kColumnArtist || column > kColumnYear) {
        return chain;
    }
    for (int step = 0; step < kChainLength; ++step) {
        chain.keys[chain.length++] = ChainKey{column, descending};
        // Tracks of one album always read in play order, whichever way albums run.
        if (column == kColumnAlbum) {
            descending = false;
        }
        column = NextKey(column);
    }
    return chain;
}

// The text key of a text column, or -1 for a number column.
int TextKeyOf(int32_t column) {
    switch (column) {
        case kColumnArtist:
            return kTextKeyArtist;
        case kColumnTitle:
            return kTextKeyTitle;
        case kColumnAlbum:
            return kTextKeyAlbum;
        case kColumnGenre:
            return kTextKeyGenre;
        default:
            return -1;
    }
}

// Unknown numbers are stored as negatives by some devices; they group with zero.
uint32_t NumberKey(const LibraryItem& row, int32_t column) {
    int32_t value = row.year;
    if (column == kColumnLength) {
        value = row.length;
    } else if (column == kColumnTrack) {
        value = row.track;
    }
    return value < 0 ? 0u : static_cast<uint32_t>(value);
}

// A row with its keys, as the sort and the comparison see it.
struct KeyedRow {
    const LibraryItem* row;
    RowSortKeys keys;
};

// Negative, 0 or positive in ascending order of one column.
int CompareColumn(const KeyedRow& a, const KeyedRow& b, int32_t column) {
    const int textKey = TextKeyOf(column);
    if (textKey >= 0) {
        return CompareTextKeys(*a.row, a.keys, *b.row, b.keys, textKey);
    }
    const uint32_t x = NumberKey(*a.row, column);
    const uint32_t y = NumberKey(*b.row, column);
    return (x > y) - (x < y);
}

int CompareChain(const KeyedRow& a, const KeyedRow& b, const Chain& chain) {
    for (int i = 0; i < chain.length; ++i) {
        const int order = CompareColumn(a, b, chain.keys[i].column);
        if (order != 0) {
            return (order < 0) != chain.keys[i].descending ? -1 : 1;
        }
    }
    return 0;
}

// A row in the sort: the leading key as one number, so that most comparisons
// touch only this array, then the row's library place and its place in the list.
struct SortEntry {
    uint32_t head;
    uint32_t entry;
    uint32_t index;
    KeyedRow keyed;
};

// The leading key of the chain as an unsigned number in sort direction.
uint32_t HeadOf(const KeyedRow& row, const ChainKey& key) {
    const int textKey = TextKeyOf(key.column);
    const uint32_t head = textKey >= 0 ? row.keys.head[textKey] : NumberKey(*row.row, key.column);
    return key.descending ? ~head : head;
}

// True when every row ties on `column`: such a key decides nothing, and
// dropping it spares reading texts that are all alike (every row from the
// device has the same album).
bool AllTie(const SortEntry* entries, int32_t count, int32_t column) {
    for (int32_t i = 1; i < count; ++i) {
        if (CompareColumn(entries[0].keyed, entries[i].keyed, column) != 0) {
            return false;
        }
    }
    return true;
}

Chain WithoutTies(const Chain& chain, const SortEntry* entries, int32_t count) {
    Chain kept;
    for (int i = 0; i < chain.length; ++i) {
        if (!AllTie(entries, count, chain.keys[i].column)) {
            kept.keys[kept.length++] = chain.keys[i];
        }
    }
    return kept;
}

void SortEntries(SortEntry* entries, int32_t count, const Chain& chain) {
    for (int32_t i = 0; i < count; ++i) {
        entries[i].head = chain.length > 0 ? HeadOf(entries[i].keyed, chain.keys[0]) : 0;
    }
    std::sort(entries, entries + count, [&chain](const SortEntry& a, const SortEntry& b) {
        if (a.head != b.head) {
            return a.head < b.head;
        }
        const int order = CompareChain(a.keyed, b.keyed, chain);
        if (order != 0) {
            return order < 0;
        }
        if (a.entry != b.entry) {
            return a.entry < b.entry;
        }
        return a.index < b.index;
    });
}

// Without room for the entries: the same order, comparing the rows in place.
void SortInPlace(LibraryItem** items, int32_t count, const Chain& chain) {
    std::sort(items, items + count, [&chain](const LibraryItem* a, const LibraryItem* b) {
        const KeyedRow x{a, SortKeysOf(*a)};
        const KeyedRow y{b, SortKeysOf(*b)};
        const int order = CompareChain(x, y, chain);
        return order != 0 ? order < 0 : x.keys.entry < y.keys.entry;
    });
}

}  // namespace

int CompareRows(const LibraryItem& a, const LibraryItem& b, const SortState& state) {
    return CompareChain(KeyedRow{&a, SortKeysOf(a)}, KeyedRow{&b, SortKeysOf(b)}, ChainFor(state));
}

void SortRows(ItemList& rows, const SortState& state) {
    LibraryItem** items = rows.Items();
    const int32_t count = rows.Count();
    if (items == nullptr || count < 2) {
        return;
    }
    // Null entries go first, so that the rows after them can be sorted as rows.
    LibraryItem** rowsStart = std::stable_partition(
        items, items + count, [](const LibraryItem* row) { return row == nullptr; });
    const auto rowCount = static_cast<int32_t>(items + count - rowsStart);
    const Chain chain = ChainFor(state);
    auto* entries = new (std::nothrow) SortEntry[static_cast<size_t>(rowCount)];
    if (entries == nullptr) {
        SortInPlace(rowsStart, rowCount, chain);
        return;
    }
    for (int32_t i = 0; i < rowCount; ++i) {
        const LibraryItem* row = rowsStart[i];
        entries[i].keyed = KeyedRow{row, SortKeysOf(*row)};
        entries[i].entry = entries[i].keyed.keys.entry;
        entries[i].index = static_cast<uint32_t>(i);
    }
    SortEntries(entries, rowCount, WithoutTies(chain, entries, rowCount));
    for (int32_t i = 0; i < rowCount; ++i) {
        rowsStart[i] = const_cast<LibraryItem*>(entries[i].keyed.row);
    }
    delete[] entries;
}

void ApplyColumnClick(SortState& state, int32_t column) {
    if (column == state.column) {
        state.direction = state.direction == 0 ? 1 : 0;
    } else {
        state.column = column;
    }
}
