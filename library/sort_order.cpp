// The row comparison with its tie-break chains, the stable sort, and column clicks.
#include "library/sort_order.h"

#include <algorithm>
#include <new>
#include <vector>

#include "library/ascii_text.h"
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

constexpr int kHeadBytes = 8;

// The sort key's first eight lowered bytes, big-endian and zero-padded, so
// that the numbers order as the keys' prefixes do.
uint64_t TextHead(const char* key) {
    const auto* k = reinterpret_cast<const unsigned char*>(key);
    uint64_t head = 0;
    int i = 0;
    for (; i < kHeadBytes && k[i] != 0; ++i) {
        head = (head << 8) | AsciiLower(k[i]);
    }
    return head << (8 * (kHeadBytes - i));
}

// A head whose last byte is set may belong to a key that runs on.
bool MayRunOn(uint64_t head) {
    return (head & 0xFF) != 0;
}

const char* KeyOf(const KeyedRow& row, int textKey) {
    const char* text = KeyText(*row.row, textKey);
    const uint8_t skip = row.keys.skip[textKey];
    return text == nullptr ? "" : skip == kSkipUnknown ? SortKey(text) : text + skip;
}

// A row in the sort: every chain key as a number (a number column's value,
// a text key's head), read from the row once, so that sorting touches only
// this array; texts are read again only where heads tie and run on.
struct SortEntry {
    uint64_t head[kChainLength];
    uint32_t place;  // library order (rows outside the library after, in list order)
};

// What the sort knows of the rows, by place: the rows themselves and the
// start of each text key of the chain.
struct SortTable {
    const Chain* chain;
    std::vector<const LibraryItem*> rows;
    std::vector<const char*> keys;    // kChainLength per place; null for number keys
    std::vector<uint64_t> nextHeads;  // kChainLength per place: bytes 8-15 of text keys

    const char* Key(const SortEntry& entry, int level) const {
        return keys[entry.place * kChainLength + static_cast<size_t>(level)];
    }
    uint64_t NextHead(const SortEntry& entry, int level) const {
        return nextHeads[entry.place * kChainLength + static_cast<size_t>(level)];
    }
};

void SortRange(SortEntry* entries, int32_t count, const SortTable& table, int level);

void SortByHeads(SortEntry* entries, int32_t count, const SortTable& table, int level,
                 size_t offset);

// Rows whose text keys agree on their first `offset` bytes, all set: the
// next eight bytes decide, read from the texts as another head.
void SortPastHeads(SortEntry* entries, int32_t count, const SortTable& table, int level,
                   size_t offset) {
    for (int32_t i = 0; i < count; ++i) {
        entries[i].head[level] = offset == kHeadBytes
                                     ? table.NextHead(entries[i], level)
                                     : TextHead(table.Key(entries[i], level) + offset);
    }
    SortByHeads(entries, count, table, level, offset);
}

// Sorts a run by head[level] (the key's bytes from `offset`), then each run
// of equal heads by what comes after: more of the text while the heads run
// on, else the next key.
void SortByHeads(SortEntry* entries, int32_t count, const SortTable& table, int level,
                 size_t offset) {
    const bool descending = table.chain->keys[level].descending;
    std::sort(entries, entries + count,
              [level, descending](const SortEntry& a, const SortEntry& b) {
                  if (a.head[level] != b.head[level]) {
                      return (a.head[level] < b.head[level]) != descending;
                  }
                  return a.place < b.place;
              });
    const bool text = TextKeyOf(table.chain->keys[level].column) >= 0;
    for (int32_t start = 0; start < count;) {
        int32_t end = start + 1;
        while (end < count && entries[end].head[level] == entries[start].head[level]) {
            ++end;
        }
        if (end - start > 1 && text && MayRunOn(entries[start].head[level])) {
            SortPastHeads(entries + start, end - start, table, level, offset + kHeadBytes);
        } else {
            SortRange(entries + start, end - start, table, level + 1);
        }
        start = end;
    }
}

// A run of rows whose keys before `level` are all equal, in library order.
void SortRange(SortEntry* entries, int32_t count, const SortTable& table, int level) {
    if (count < 2 || level == table.chain->length) {
        return;  // in library order already: every step keeps it among equals
    }
    SortByHeads(entries, count, table, level, 0);
}

// The list's rows by place: library order first (a counting sort on the
// places the rows got on entering), then rows outside the library in list
// order. Reading rows in this order reads memory mostly in the order the
// rows and texts were allocated.
std::vector<const LibraryItem*> InLibraryOrder(LibraryItem* const* items, int32_t count) {
    std::vector<uint32_t> entries(static_cast<size_t>(count));
    uint32_t last = 0;
    for (int32_t i = 0; i < count; ++i) {
        entries[i] = items[i]->sortKeys.entry;
        last = std::max(last, entries[i]);
    }
    // Rows outside the library (entry 0) count as coming after the last.
    for (uint32_t& entry : entries) {
        entry = entry == 0 ? last + 1 : entry;
    }
    std::vector<uint32_t> starts(static_cast<size_t>(last) + 2, 0);
    for (const uint32_t entry : entries) {
        ++starts[entry];
    }
    uint32_t sum = 0;
    for (uint32_t& start : starts) {
        const uint32_t rows = start;
        start = sum;
        sum += rows;
    }
    std::vector<const LibraryItem*> ordered(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        ordered[starts[entries[i]]++] = items[i];
    }
    return ordered;
}

// Fills the entries and the table; drops from the chain every key on which
// all rows tie (every row from the device has the same album and track).
void ReadRows(SortTable& table, SortEntry* entries, Chain& chain) {
    const size_t count = table.rows.size();
    table.keys.assign(count * kChainLength, nullptr);
    table.nextHeads.assign(count * kChainLength, 0);
    bool allTie[kChainLength];
    for (int level = 0; level < chain.length; ++level) {
        allTie[level] = true;
    }
    for (size_t place = 0; place < count; ++place) {
        const KeyedRow row{table.rows[place], SortKeysOf(*table.rows[place])};
        SortEntry& entry = entries[place];
        entry.place = static_cast<uint32_t>(place);
        for (int level = 0; level < chain.length; ++level) {
            const int32_t column = chain.keys[level].column;
            const int textKey = TextKeyOf(column);
            if (textKey < 0) {
                entry.head[level] = NumberKey(*row.row, column);
            } else {
                const char* key = KeyOf(row, textKey);
                const size_t slot = place * kChainLength + static_cast<size_t>(level);
                table.keys[slot] = key;
                entry.head[level] = TextHead(key);
                if (MayRunOn(entry.head[level])) {
                    table.nextHeads[slot] = TextHead(key + kHeadBytes);
                }
            }
            if (allTie[level] && place > 0 && entry.head[level] != entries[0].head[level]) {
                allTie[level] = false;
            } else if (allTie[level] && place > 0 && textKey >= 0 && MayRunOn(entry.head[level])) {
                allTie[level] = AsciiCompareNoCase(table.Key(entry, level) + kHeadBytes,
                                                   table.Key(entries[0], level) + kHeadBytes) == 0;
            }
        }
    }
    Chain kept;
    for (int level = 0; level < chain.length; ++level) {
        if (!allTie[level]) {
            kept.keys[kept.length] = chain.keys[level];
            for (size_t place = 0; place < count; ++place) {
                entries[place].head[kept.length] = entries[place].head[level];
                const size_t from = place * kChainLength + static_cast<size_t>(level);
                const size_t to = place * kChainLength + static_cast<size_t>(kept.length);
                table.keys[to] = table.keys[from];
                table.nextHeads[to] = table.nextHeads[from];
            }
            ++kept.length;
        }
    }
    chain = kept;
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
    if (rowCount < 2) {
        return;
    }
    // The plug-in answers the host and must not throw: without the memory
    // for the sort's tables the rows are left as they are.
    try {
        Chain chain = ChainFor(state);
        SortTable table;
        table.chain = &chain;
        table.rows = InLibraryOrder(rowsStart, rowCount);
        std::vector<SortEntry> entries(static_cast<size_t>(rowCount));
        ReadRows(table, entries.data(), chain);
        SortRange(entries.data(), rowCount, table, 0);
        for (int32_t i = 0; i < rowCount; ++i) {
            rowsStart[i] = const_cast<LibraryItem*>(table.rows[entries[i].place]);
        }
    } catch (const std::bad_alloc&) {
    }
}

void ApplyColumnClick(SortState& state, int32_t column) {
    if (column == state.column) {
        state.direction = state.direction == 0 ? 1 : 0;
    } else {
        state.column = column;
    }
}
