// Sort keys of texts, and the per-row keys derived once when a row enters the library.
#pragma once

#include <cstdint>

struct LibraryItem;

// The key a text sorts by: the text itself past leading bytes that are not
// ASCII letters or digits, then past one leading "the " (any case), then past
// spaces. Points into `text`; an absent text gives the empty text. Never null.
const char* SortKey(const char* text);

// Negative, 0 or positive as SortKey(a) orders before, with or after
// SortKey(b), comparing bytes as unsigned after lowering A-Z.
int CompareKeys(const char* a, const char* b);

// The four text columns in the order RowSortKeys keeps them.
enum TextKey : int {
    kTextKeyArtist = 0,
    kTextKeyTitle = 1,
    kTextKeyAlbum = 2,
    kTextKeyGenre = 3,
};
constexpr int kTextKeyCount = 4;

// What the sort needs of a row beyond its numbers, derived once when the row
// enters the library (rows never change afterwards), so that comparisons
// neither skip prefixes again nor, mostly, read the texts. 16 bytes.
// A zero-filled block means "not derived": the sort then derives the keys
// when it needs them, so rows outside the library still sort correctly.
struct RowSortKeys {
    uint32_t entry;                // 1 + the row's place in the library list; 0 until derived
    uint16_t head[kTextKeyCount];  // the key's first two lowered bytes, big-endian, 0-padded
    uint8_t skip[kTextKeyCount];   // bytes before the key; kSkipUnknown: SortKey tells
};
constexpr uint8_t kSkipUnknown = 255;

// The keys of `row` as the row's place `position` in the library list.
RowSortKeys DeriveSortKeys(const LibraryItem& row, uint32_t position);

// The row's stored keys, or keys derived now when it never entered the library.
RowSortKeys SortKeysOf(const LibraryItem& row);

// The text of a text column (artist, title, album or genre), or null.
const char* KeyText(const LibraryItem& row, int textKey);

// CompareKeys of one text column of two rows, from their derived keys: the
// heads decide unless they tie on two bytes, and only then are texts read.
int CompareTextKeys(const LibraryItem& a, const RowSortKeys& keysA, const LibraryItem& b,
                    const RowSortKeys& keysB, int textKey);
