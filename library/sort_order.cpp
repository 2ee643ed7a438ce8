// The row comparison with its tie-break chains, the stable sort, and column clicks.
#include "library/sort_order.h"

#include <algorithm>
#include <new>
#include <vector>

#include "base/ascii_text.h"
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
    for (; i < kHeadBytes; ++i) {
        head <<= 8;  // one byte at a time: a shift by all 64 bits would be undefined
    }
    return head;
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

// A row in the sort: the chain key being sorted on as a number (a number
// column's value, eight bytes of a text key) and the row's place. Each step
// fills the numbers from the table, so sorting moves only these 16 bytes.
struct SortEntry {
    uint64_t head;
    uint32_t place;  // library order (rows outside the library after, in list order)
};

// What the sort read of the rows, by place: the rows, and for each chain key
// its head (the number, or a text key's first eight bytes), a text key's
// next eight bytes and its start.
struct SortTable {
    Chain chain;
    std::vector<const LibraryItem*> rows;
    std::vector<uint64_t> heads;      // kChainLength per place
    std::vector<uint64_t> nextHeads;  // kChainLength per place; 0 for short and number keys
    std::vector<const char*> keys;    // kChainLength per place; null for number keys

    static size_t Slot(uint32_t place, int level) {
        return static_cast<size_t>(place) * kChainLength + static_cast<size_t>(level);
    }
    // Bytes `offset` to offset + 7 of the key at `level`, as a number.
    uint64_t Head(uint32_t place, int level, size_t offset) const {
        if (offset == 0) {
            return heads[Slot(place, level)];
        }
        if (offset == kHeadBytes) {
            return nextHeads[Slot(place, level)];
        }
        return TextHead(keys[Slot(place, level)] + offset);
    }
};

void SortRange(SortEntry* entries, int32_t count, const SortTable& table, int level);

// Sorts a run of rows equal on the keys before `level` and on the first
// `offset` bytes of the key at `level` (all of them set), then each run of
// equal heads by what comes after: more of the text while the heads run on,
// else the next key.
void SortByHeads(SortEntry* entries, int32_t count, const SortTable& table, int level,
                 size_t offset) {
    for (int32_t i = 0; i < count; ++i) {
        entries[i].head = table.Head(entries[i].place, level, offset);
    }
    const bool descending = table.chain.keys[level].descending;
    std::sort(entries, entries + count, [descending](const SortEntry& a, const SortEntry& b) {
        if (a.head != b.head) {
            return (a.head < b.head) != descending;
        }
        return a.place < b.place;
    });
    const bool text = TextKeyOf(table.chain.keys[level].column) >= 0;
    for (int32_t start = 0; start < count;) {
        int32_t end = start + 1;
        while (end < count && entries[end].head == entries[start].head) {
            ++end;
        }
        if (end - start > 1 && text && MayRunOn(entries[start].head)) {
            SortByHeads(entries + start, end - start, table, level, offset + kHeadBytes);
        } else {
            SortRange(entries + start, end - start, table, level + 1);
        }
        start = end;
    }
}

// A run of rows whose keys before `level` are all equal, in library order.
void SortRange(SortEntry* entries, int32_t count, const SortTable& table, int level) {
    if (count < 2 || level == table.chain.length) {
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

// Whether the key at `level` of the row at `place` equals that of the first row.
bool TiesFirst(const SortTable& table, uint32_t place, int level) {
    const size_t slot = SortTable::Slot(place, level);
    const size_t first = SortTable::Slot(0, level);
    if (table.heads[slot] != table.heads[first] ||
        table.nextHeads[slot] != table.nextHeads[first]) {
        return false;
    }
    return table.keys[slot] == nullptr || !MayRunOn(table.nextHeads[slot]) ||
           AsciiCompareNoCase(table.keys[slot] + 2 * kHeadBytes,
                              table.keys[first] + 2 * kHeadBytes) == 0;
}

// Reads every row once, in library order, into the table.
void ReadRows(SortTable& table) {
    const size_t count = table.rows.size();
    table.heads.assign(count * kChainLength, 0);
    table.nextHeads.assign(count * kChainLength, 0);
    table.keys.assign(count * kChainLength, nullptr);
    for (size_t place = 0; place < count; ++place) {
        const KeyedRow row{table.rows[place], SortKeysOf(*table.rows[place])};
        for (int level = 0; level < table.chain.length; ++level) {
            const size_t slot = SortTable::Slot(static_cast<uint32_t>(place), level);
            const int32_t column = table.chain.keys[level].column;
            const int textKey = TextKeyOf(column);
            if (textKey < 0) {
                table.heads[slot] = NumberKey(*row.row, column);
                continue;
            }
            const char* key = KeyOf(row, textKey);
            table.keys[slot] = key;
            table.heads[slot] = TextHead(key);
            if (MayRunOn(table.heads[slot])) {
                table.nextHeads[slot] = TextHead(key + kHeadBytes);
            }
        }
    }
}

// Drops from the chain every key on which all rows tie (every row from the
// device has the same album and track): they decide nothing.
void DropKeysThatAllTie(SortTable& table) {
    const auto count = static_cast<uint32_t>(table.rows.size());
    Chain kept;
    for (int level = 0; level < table.chain.length; ++level) {
        uint32_t place = 1;
        while (place < count && TiesFirst(table, place, level)) {
            ++place;
        }
        if (place == count) {
            continue;
        }
        for (uint32_t p = 0; p < count; ++p) {
            const size_t from = SortTable::Slot(p, level);
            const size_t to = SortTable::Slot(p, kept.length);
            table.heads[to] = table.heads[from];
            table.nextHeads[to] = table.nextHeads[from];
            table.keys[to] = table.keys[from];
        }
        kept.keys[kept.length++] = table.chain.keys[level];
    }
    table.chain = kept;
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
        SortTable table;
        table.chain = ChainFor(state);
        table.rows = InLibraryOrder(rowsStart, rowCount);
        ReadRows(table);
        DropKeysThatAllTie(table);
        std::vector<SortEntry> entries(static_cast<size_t>(rowCount));
        for (int32_t i = 0; i < rowCount; ++i) {
            entries[i].place = static_cast<uint32_t>(i);
        }
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
