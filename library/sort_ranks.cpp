// Ranks of text sort keys, and the library's ranks kept in its rows.
#include "library/sort_ranks.h"

#include <algorithm>
#include <iterator>
#include <new>
#include <vector>

#include "base/ascii_text.h"
#include "library/columns.h"

namespace {

uint32_t LoweredHash(const char* key) {
    uint32_t hash = 2166136261u;  // FNV-1a
    for (const auto* p = reinterpret_cast<const unsigned char*>(key); *p != 0; ++p) {
        hash = (hash ^ AsciiLower(*p)) * 16777619u;
    }
    return hash;
}

// The distinct keys of the rows, and which of them each row has. Keys that
// compare equal are one key: equal once lowered.
struct KeyGroups {
    std::vector<const char*> keys;
    std::vector<uint32_t> groupOf;  // per row: index into keys
};

KeyGroups GroupEqualKeys(const LibraryItem* const* rows, size_t count, int textKey) {
    KeyGroups groups;
    groups.groupOf.resize(count);
    size_t slots = 64;
    while (slots < 2 * count) {
        slots *= 2;
    }
    std::vector<uint32_t> table(slots, 0);  // 1 + a group, or 0 for a free slot
    std::vector<uint32_t> hashes;           // per group
    for (size_t i = 0; i < count; ++i) {
        const char* key = rows[i] != nullptr ? SortKey(KeyText(*rows[i], textKey)) : "";
        const uint32_t hash = LoweredHash(key);
        size_t slot = hash & (slots - 1);
        for (; table[slot] != 0; slot = (slot + 1) & (slots - 1)) {
            const uint32_t group = table[slot] - 1;
            if (hashes[group] == hash && AsciiCompareNoCase(groups.keys[group], key) == 0) {
                break;
            }
        }
        if (table[slot] == 0) {
            table[slot] = static_cast<uint32_t>(groups.keys.size()) + 1;
            groups.keys.push_back(key);
            hashes.push_back(hash);
        }
        groups.groupOf[i] = table[slot] - 1;
    }
    return groups;
}

constexpr int kHeadBytes = 8;

// The key's first eight lowered bytes, big-endian and zero-padded, so that
// the numbers order as the keys' prefixes do.
uint64_t KeyHead(const char* key) {
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

// Each distinct key's place among them all.
std::vector<uint32_t> RanksOfDistinctKeys(const std::vector<const char*>& keys) {
    struct Headed {
        uint64_t head;
        uint32_t key;
    };
    std::vector<Headed> order(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        order[i] = Headed{KeyHead(keys[i]), static_cast<uint32_t>(i)};
    }
    std::sort(order.begin(), order.end(), [&keys](const Headed& a, const Headed& b) {
        if (a.head != b.head) {
            return a.head < b.head;
        }
        // Equal heads of distinct keys: both run on past eight equal bytes.
        return AsciiCompareNoCase(keys[a.key] + kHeadBytes, keys[b.key] + kHeadBytes) < 0;
    });
    std::vector<uint32_t> ranks(keys.size());
    for (size_t i = 0; i < order.size(); ++i) {
        ranks[order[i].key] = static_cast<uint32_t>(i);
    }
    return ranks;
}

}  // namespace

uint32_t RankKeys(const LibraryItem* const* rows, size_t count, int textKey, uint32_t* ranks) {
    const KeyGroups groups = GroupEqualKeys(rows, count, textKey);
    const std::vector<uint32_t> groupRanks = RanksOfDistinctKeys(groups.keys);
    for (size_t i = 0; i < count; ++i) {
        ranks[i] = groupRanks[groups.groupOf[i]];
    }
    return static_cast<uint32_t>(groups.keys.size());
}

bool SortRanks::Refresh(int textKey) {
    const int32_t count = library_.Count();
    if (rankedRows_[textKey] == count) {
        return true;
    }
    rankedRows_[textKey] = 0;
    const LibraryItem* const* rows = library_.Items();
    try {
        std::vector<uint32_t> ranks(static_cast<size_t>(count));
        if (RankKeys(rows, ranks.size(), textKey, ranks.data()) > kMaxKeyRank + 1) {
            return false;
        }
        for (int32_t i = 0; i < count; ++i) {
            if (LibraryItem* row = library_.Get(i)) {
                SetKeyRank(row->sortKeys, textKey, ranks[static_cast<size_t>(i)]);
            }
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    rankedRows_[textKey] = count;
    return true;
}

void SortRanks::Forget() {
    std::fill(std::begin(rankedRows_), std::end(rankedRows_), 0);
}
