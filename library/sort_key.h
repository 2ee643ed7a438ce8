// Sort keys of texts, and the per-row block that the library's key ranks live
// in.
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

// The slots of RowSortKeys: one per text column that sorts (library/columns.h).
enum TextKey : int {
    kTextKeyArtist = 0,
    kTextKeyTitle = 1,
    kTextKeyAlbum = 2,
    kTextKeyGenre = 3,
};
constexpr int kTextKeyCount = 4;

// Ranks are kept in three bytes: no library holds 2^24 rows, and a column
// with more distinct keys than that is sorted without them.
constexpr uint32_t kMaxKeyRank = (1u << 24) - 1;

// What the sort keeps of a row, 16 bytes. `entry` is set when the row enters
// the library and never changes; the ranks are written by the library's
// SortRanks, which alone knows whether they are current.
struct RowSortKeys {
    uint32_t entry;  // 1 + the row's place in the library list; 0 outside it
    uint8_t rank[kTextKeyCount]
                [3];  // per text column: the key's rank in the library, little-endian
};

inline uint32_t KeyRank(const RowSortKeys& keys, int textKey) {
    const uint8_t* r = keys.rank[textKey];
    return r[0] | (uint32_t{r[1]} << 8) | (uint32_t{r[2]} << 16);
}

// `rank` must not exceed kMaxKeyRank.
inline void SetKeyRank(RowSortKeys& keys, int textKey, uint32_t rank) {
    uint8_t* r = keys.rank[textKey];
    r[0] = static_cast<uint8_t>(rank);
    r[1] = static_cast<uint8_t>(rank >> 8);
    r[2] = static_cast<uint8_t>(rank >> 16);
}
