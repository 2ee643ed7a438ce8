// Fuzz target: the type-ahead search, the cell texts and the sort order over
// fuzzed rows.
//
// Input (see fuzz_fields.h): record 0 is [sort column, start, flags, typed
// text, sort direction, cell buffer size]; every further record is a row
// [artist, title, album, length, track, genre, year, filename], and an empty
// record is a null row. An absent typed text is passed as null.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "library/cell_text.h"
#include "library/columns.h"
#include "library/item_list.h"
#include "library/library_item.h"
#include "library/library_lists.h"
#include "library/sort_order.h"
#include "tests/fuzz/fuzz_fields.h"

namespace {

constexpr size_t kMaxRows = 48;
// All triples are checked for transitivity up to this many rows.
constexpr size_t kMaxTripleRows = 12;

unsigned char Lower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Whether `key` begins with `typed` (or, for a whole match, equals it),
// ignoring ASCII case.
bool KeyMatches(const char* key, const char* typed, bool prefix) {
    size_t i = 0;
    for (; typed[i] != '\0'; ++i) {
        if (Lower(static_cast<unsigned char>(key[i])) !=
            Lower(static_cast<unsigned char>(typed[i]))) {
            return false;
        }
    }
    return prefix || key[i] == '\0';
}

// FindRowByKey by the book: the rows in the order the search visits them, first
// match wins.
int32_t ExpectedFind(const ItemList& rows, int32_t column, int32_t start, unsigned flags,
                     const char* typed) {
    const int32_t count = rows.Count();
    const bool prefix = (flags & (kFindPartial | kFindSubstring)) != 0;
    if (count <= 0 || (!prefix && (flags & kFindString) == 0)) {
        return -1;
    }
    const int32_t from = start < 0 || start >= count ? 0 : start;
    std::vector<int32_t> order;
    for (int32_t i = from; i < count; ++i) {
        order.push_back(i);
    }
    if ((flags & kFindWrap) != 0) {
        for (int32_t i = 0; i < from; ++i) {
            order.push_back(i);
        }
    }
    for (int32_t i : order) {
        char buffer[kCellTextSize];
        const LibraryItem* row = rows.Get(i);
        const char* key =
            row != nullptr ? SortKey(CellText(*row, column, buffer, sizeof buffer)) : "";
        if (KeyMatches(key, typed != nullptr ? typed : "", prefix)) {
            return i;
        }
    }
    return -1;
}

// The number a cell shows must read back as the row's own.
void CheckNumberCell(const LibraryItem& row, int column, const char* text) {
    bool right = true;
    if (column == kColumnLength) {
        int minutes = 0;
        int seconds = 0;
        char end = 0;
        right = std::sscanf(text, "%d:%d%c", &minutes, &seconds, &end) == 2 &&
                int64_t(minutes) * 60 + seconds == row.length && seconds > -60 && seconds < 60;
    } else if (column == kColumnTrack) {
        right =
            row.track > 0 && row.track < 1000 ? std::to_string(row.track) == text : *text == '\0';
    } else if (column == kColumnYear) {
        right = row.year > 0 && row.year < 5000 ? std::to_string(row.year) == text : *text == '\0';
    }
    if (!right) {
        FuzzFailure("cell of column %d shows \"%s\" (length %d, track %d, year %d)", column, text,
                    row.length, row.track, row.year);
    }
}

void CheckCells(const LibraryItem& row, size_t fuzzedSize) {
    for (int column = -2; column <= 9; ++column) {
        char full[kCellTextSize];
        const char* text = CellText(row, column, full, sizeof full);
        if (text == nullptr) {
            FuzzFailure("CellText gave null for column %d", column);
        }
        const char* own = nullptr;
        switch (column) {
            case kColumnArtist:
                own = row.artist;
                break;
            case kColumnTitle:
                own = row.title;
                break;
            case kColumnAlbum:
                own = row.album;
                break;
            case kColumnGenre:
                own = row.genre;
                break;
            case kColumnFilename:
                own = row.filename;
                break;
            case kColumnLength:
            case kColumnTrack:
            case kColumnYear:
                CheckNumberCell(row, column, text);
                break;
            default:
                if (*text != '\0') {
                    FuzzFailure("column %d outside the view shows \"%s\"", column, text);
                }
                continue;
        }
        if (own != nullptr && text != own) {
            FuzzFailure("column %d does not show the row's own text", column);
        }
        if (own == nullptr && text != full && *text != '\0') {
            FuzzFailure("column %d shows \"%s\" for an absent text", column, text);
        }
        const std::string whole = text;
        for (size_t size : {size_t{0}, size_t{1}, size_t{2}, size_t{4}, size_t{8}, fuzzedSize}) {
            char* buffer = static_cast<char*>(std::malloc(size));
            const char* cut = CellText(row, column, buffer, size);
            if (cut == nullptr) {
                FuzzFailure("CellText gave null for column %d with %zu bytes", column, size);
            }
            // With no room at all a number cell can only be the empty text.
            const bool right = cut == buffer ? size > 0 && whole.compare(0, size - 1, cut) == 0
                                             : whole == cut || (size == 0 && *cut == '\0');
            if (!right) {
                FuzzFailure("column %d with %zu bytes: \"%s\" is not the start of \"%s\"", column,
                            size, cut == buffer && size == 0 ? "" : cut, whole.c_str());
            }
            std::free(buffer);
        }
        CellText(row, column, nullptr, 0);
    }
}

// CompareRows must be a strict weak ordering, or the sort can run off the
// array.
void CheckOrdering(const std::vector<LibraryItem*>& rows, const SortState& state) {
    std::vector<const LibraryItem*> live;
    for (const LibraryItem* row : rows) {
        if (row != nullptr) {
            live.push_back(row);
        }
    }
    const bool inRange = state.column >= kColumnArtist && state.column <= kColumnYear;
    for (const LibraryItem* a : live) {
        for (const LibraryItem* b : live) {
            const int ab = CompareRows(*a, *b, state);
            const int ba = CompareRows(*b, *a, state);
            if (ab < -1 || ab > 1 || ab != -ba || (!inRange && ab != 0)) {
                FuzzFailure("column %d direction %d: CompareRows gives %d one way, %d the other",
                            state.column, state.direction, ab, ba);
            }
        }
    }
    if (live.size() > kMaxTripleRows) {
        return;
    }
    for (const LibraryItem* a : live) {
        for (const LibraryItem* b : live) {
            for (const LibraryItem* c : live) {
                const int ab = CompareRows(*a, *b, state);
                const int bc = CompareRows(*b, *c, state);
                const int ac = CompareRows(*a, *c, state);
                if ((ab <= 0 && bc <= 0 && ac > 0) || (ab < 0 && bc <= 0 && ac >= 0) ||
                    (ab <= 0 && bc < 0 && ac >= 0)) {
                    FuzzFailure("column %d direction %d: CompareRows is not transitive",
                                state.column, state.direction);
                }
            }
        }
    }
}

void CheckSort(const std::vector<LibraryItem*>& rows, const SortState& state, SortRanks& ranks) {
    ItemList list;
    for (LibraryItem* row : rows) {
        if (!list.Append(row)) {
            std::abort();
        }
    }
    SortRows(list, state, ranks);
    std::vector<LibraryItem*> sorted;
    for (int32_t i = 0; i < list.Count(); ++i) {
        sorted.push_back(list.Get(i));
    }
    std::vector<LibraryItem*> before = rows;
    std::vector<LibraryItem*> after = sorted;
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    if (before != after) {
        FuzzFailure("SortRows lost or duplicated rows");
    }
    for (size_t i = 1; i < sorted.size(); ++i) {
        const LibraryItem* a = sorted[i - 1];
        const LibraryItem* b = sorted[i];
        const bool ordered =
            b == nullptr ? a == nullptr : a == nullptr || CompareRows(*a, *b, state) <= 0;
        if (!ordered) {
            FuzzFailure("column %d direction %d: rows %zu and %zu out of order", state.column,
                        state.direction, i - 1, i);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<FuzzRecord> records = SplitRecords(data, size);
    const FuzzRecord& head = records[0];
    const int32_t column = FieldNumber(head, 0);
    const int32_t start = FieldNumber(head, 1);
    const auto flags = static_cast<unsigned>(FieldNumber(head, 2));
    char* typed = MallocText(Field(head, 3));
    SortState state;
    state.column = column;
    state.direction = FieldNumber(head, 4);
    const size_t cellSize = static_cast<uint32_t>(FieldNumber(head, 5, 16)) % 300;

    LibraryLists lists;
    const std::vector<LibraryItem*> rows = AppendRows(records, 1, kMaxRows, lists.library);

    const int32_t found = FindRowByKey(lists.library, column, start, flags, typed);
    const int32_t expected = ExpectedFind(lists.library, column, start, flags, typed);
    if (found != expected) {
        FuzzFailure("FindRowByKey(column %d, start %d, flags %#x) = %d, expected %d", column, start,
                    flags, found, expected);
    }
    std::free(typed);

    for (const LibraryItem* row : rows) {
        if (row != nullptr) {
            CheckCells(*row, cellSize);
        }
    }

    CheckOrdering(rows, state);
    CheckSort(rows, state, lists.sortRanks);
    for (int32_t c = kColumnArtist; c <= kColumnYear; ++c) {
        for (int32_t direction : {0, 1}) {
            CheckSort(rows, SortState{c, direction}, lists.sortRanks);
        }
    }
    return 0;
}
