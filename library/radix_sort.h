// The stable sort of the sort order's keys: each key's values packed into as
// few bits as they need, the keys packed into 64-bit words, and a radix sort
// over every row of a list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A row in the sort: its packed key and its position in the list.
struct SortEntry {
    uint64_t key;
    uint32_t row;
};

// Sorts by the low `bits` bits of the keys (the keys hold no others),
// keeping the order of equal keys. Reuses `scratch` between calls. Throws
// std::bad_alloc when memory for its tables runs out.
void SortByKey(std::vector<SortEntry>& entries, std::vector<SortEntry>& scratch, int bits);

// One key of a sort as it goes into a packed word: per row a value, taken
// less the smallest (or, descending, the largest less it) in `bits` bits.
struct PackedKey {
    const std::vector<uint32_t>* values;  // per row; must outlive the key
    uint32_t low;
    uint32_t high;
    bool descending;
    int bits;  // 0 when every row has the same value: the key decides nothing

    uint64_t Of(uint32_t row) const {
        const uint32_t value = (*values)[row];
        return descending ? high - value : value - low;
    }
};

// The key of `values` (not empty), ascending or descending.
PackedKey PackKey(const std::vector<uint32_t>& values, bool descending);

// Positions 0 to count - 1 sorted by `keys`, most significant first (each
// with bits > 0), keeping list order among rows that tie on every key.
// Throws std::bad_alloc when memory for its tables runs out.
std::vector<SortEntry> SortByKeys(const std::vector<PackedKey>& keys, size_t count);
