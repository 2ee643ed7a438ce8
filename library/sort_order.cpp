// The row comparison with its tie-break chains, the stable sort, and column
// clicks.
#include "library/sort_order.h"

#include <algorithm>
#include <new>
#include <vector>

#include "library/columns.h"
#include "library/item_list.h"
#include "library/library_item.h"
#include "library/radix_sort.h"
#include "library/sort_ranks.h"

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

Chain ChainFor(const SortState& state) {
    Chain chain;
    int32_t column = state.column;
    bool descending = state.direction != 0;
    const ColumnInfo* info = ColumnAt(column);
    if (info == nullptr || !info->Sorts()) {
        return chain;
    }
    // Every chain is fixed per sort column, which keeps the comparison a
    // strict weak ordering for std::sort.
    for (int step = 0; step < kChainLength; ++step) {
        chain.keys[chain.length++] = ChainKey{column, descending};
        // Tracks of one album always read in play order, whichever way albums
        // run.
        if (column == kColumnAlbum) {
            descending = false;
        }
        column = kColumns[column].tieBreak;
    }
    return chain;
}

// The text key of a sorting text column, or -1 for a number column.
int TextKeyOf(int32_t column) {
    return kColumns[column].textKey;
}

// Unknown numbers are stored as negatives by some devices; they group with
// zero.
uint32_t NumberKey(const LibraryItem& row, int32_t column) {
    const int32_t value = row.*kColumns[column].number;
    return value < 0 ? 0u : static_cast<uint32_t>(value);
}

// Negative, 0 or positive in ascending order of one column, from the texts.
int CompareColumn(const LibraryItem& a, const LibraryItem& b, int32_t column) {
    const int textKey = TextKeyOf(column);
    if (textKey >= 0) {
        return CompareKeys(KeyText(a, textKey), KeyText(b, textKey));
    }
    const uint32_t x = NumberKey(a, column);
    const uint32_t y = NumberKey(b, column);
    return (x > y) - (x < y);
}

// What the sort reads of the rows, each row read once in list order: each
// chain key as an integer that orders as the key does ascending (a number
// column's value, a text key's rank), and each row's place in the library.
struct KeyValues {
    Chain chain;
    std::vector<uint32_t> values[kChainLength];
    std::vector<uint32_t> entries;  // 1 + the place; 0 for rows outside the library
};

// The library's ranks of the chain's text keys, up to date, when `row` is
// that library's and its ranks can be brought up to date; else null.
SortRanks* CurrentRanks(SortRanks* libraryRanks, const LibraryItem& row, const Chain& chain) {
    SortRanks* ranks =
        libraryRanks != nullptr && libraryRanks->Holds(&row) ? libraryRanks : nullptr;
    for (int level = 0; ranks != nullptr && level < chain.length; ++level) {
        const int textKey = TextKeyOf(chain.keys[level].column);
        if (textKey >= 0 && !ranks->Refresh(textKey)) {
            ranks = nullptr;
        }
    }
    return ranks;
}

// The chain's text keys as ranks among `rows` alone.
void RankAmongRows(const std::vector<LibraryItem*>& rows, KeyValues& keys) {
    for (int level = 0; level < keys.chain.length; ++level) {
        const int textKey = TextKeyOf(keys.chain.keys[level].column);
        if (textKey >= 0) {
            RankKeys(rows.data(), rows.size(), textKey, keys.values[level].data());
        }
    }
}

constexpr size_t kReadAhead = 16;

// Reads every row once. Text keys take the library's ranks when every row
// is in that library; otherwise they are ranked among these rows alone.
void ReadKeyValues(const std::vector<LibraryItem*>& rows, SortRanks* libraryRanks,
                   KeyValues& keys) {
    const size_t count = rows.size();
    const Chain& chain = keys.chain;
    SortRanks* ranks = CurrentRanks(libraryRanks, *rows.front(), chain);
    keys.entries.resize(count);
    for (int level = 0; level < chain.length; ++level) {
        keys.values[level].resize(count);
    }
    // Whether every row is the library's is only gathered here, never
    // branched on, so that the reads of one row do not wait for the last's.
    bool held = true;
    for (size_t i = 0; i < count; ++i) {
        // After another sort the list's order is no order in memory: asking
        // for rows some steps ahead keeps many reads in flight at once.
        if (i + kReadAhead < count) {
            __builtin_prefetch(&rows[i + kReadAhead]->sortKeys);
            __builtin_prefetch(rows[i + kReadAhead]);
        }
        const LibraryItem& row = *rows[i];
        keys.entries[i] = row.sortKeys.entry;
        if (ranks != nullptr) {
            held &= ranks->Holds(&row);
        }
        for (int level = 0; level < chain.length; ++level) {
            const int32_t column = chain.keys[level].column;
            const int textKey = TextKeyOf(column);
            keys.values[level][i] =
                textKey < 0 ? NumberKey(row, column) : KeyRank(row.sortKeys, textKey);
        }
    }
    if (ranks == nullptr || !held) {
        RankAmongRows(rows, keys);  // the rows' ranks are not all the library's
    }
}

// What the rows are sorted by, most significant first: the chain keys that
// tell rows apart, then the library place, so that rows equal on every key
// keep library order (rows outside the library after, in list order). A key
// on which every row ties decides nothing (every row from the device has the
// same album and track) and is left out.
std::vector<PackedKey> KeysThatDecide(KeyValues& keys) {
    std::vector<PackedKey> packed;
    for (int level = 0; level < keys.chain.length; ++level) {
        const PackedKey key = PackKey(keys.values[level], keys.chain.keys[level].descending);
        if (key.bits > 0) {
            packed.push_back(key);
        }
    }
    const uint32_t last = *std::max_element(keys.entries.begin(), keys.entries.end());
    for (uint32_t& entry : keys.entries) {
        entry = entry == 0 ? last + 1 : entry;
    }
    const PackedKey place = PackKey(keys.entries, false);
    if (place.bits > 0) {
        packed.push_back(place);
    }
    return packed;
}

void SortRowsWith(ItemList& rows, const SortState& state, SortRanks* libraryRanks) {
    LibraryItem** items = rows.Items();
    const int32_t count = rows.Count();
    if (items == nullptr || count < 2) {
        return;
    }
    // Null entries go first, so that the rows after them can be sorted as rows.
    LibraryItem** rowsStart = std::stable_partition(
        items, items + count, [](const LibraryItem* row) { return row == nullptr; });
    const auto rowCount = static_cast<int32_t>(items + count - rowsStart);
    if (rowCount < 2) {
        return;
    }
    // The plug-in answers the host and must not throw: without the memory
    // for the sort's tables the rows are left as they are.
    try {
        const std::vector<LibraryItem*> listed(rowsStart, rowsStart + rowCount);
        KeyValues keys;
        keys.chain = ChainFor(state);
        ReadKeyValues(listed, libraryRanks, keys);
        const std::vector<SortEntry> sorted = SortByKeys(KeysThatDecide(keys), listed.size());
        for (int32_t i = 0; i < rowCount; ++i) {
            rowsStart[i] = listed[sorted[static_cast<size_t>(i)].row];
        }
    } catch (const std::bad_alloc&) {
    }
}

}  // namespace

int CompareRows(const LibraryItem& a, const LibraryItem& b, const SortState& state) {
    const Chain chain = ChainFor(state);
    for (int i = 0; i < chain.length; ++i) {
        const int order = CompareColumn(a, b, chain.keys[i].column);
        if (order != 0) {
            return (order < 0) != chain.keys[i].descending ? -1 : 1;
        }
    }
    return 0;
}

void SortRows(ItemList& rows, const SortState& state) {
    SortRowsWith(rows, state, nullptr);
}

void SortRows(ItemList& rows, const SortState& state, SortRanks& libraryRanks) {
    SortRowsWith(rows, state, &libraryRanks);
}

void ApplyColumnClick(SortState& state, int32_t column) {
    if (column == state.column) {
        state.direction = state.direction == 0 ? 1 : 0;
    } else {
        state.column = column;
    }
}
