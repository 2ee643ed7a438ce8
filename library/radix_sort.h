// The stable sort of the sort order's packed keys: a radix sort over every
// row of a list.
#pragma once

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
