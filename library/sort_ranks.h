// Ranks of the rows' text sort keys: equal keys get equal ranks, and ranks
// order as the keys do, so that sorting compares integers instead of texts.
#pragma once

#include <cstddef>
#include <cstdint>

#include "library/item_list.h"
#include "library/library_item.h"
#include "library/sort_key.h"

// Ranks `count` rows on one text column: ranks[i] becomes the number of
// distinct keys that order before the key of rows[i] (a null row has the
// empty key). Returns how many distinct keys there are. Throws
// std::bad_alloc when memory for its tables runs out.
uint32_t RankKeys(const LibraryItem* const* rows, size_t count, int textKey, uint32_t* ranks);

// The ranks of a library's text keys, kept in its rows' RowSortKeys. They
// are computed over the whole library the first time a sort needs a column
// after rows entered, and then serve every sort of any list of its rows, the
// filter pass's included. Rows leave the library all at once (ClearLibrary)
// or the player's all together (RemovePlayerRows); both call Forget. The
// library's lists hold its SortRanks, and hand it to every sort of the
// library's rows.
class SortRanks {
  public:
    explicit SortRanks(ItemList& library) : library_(library) {}
    SortRanks(const SortRanks&) = delete;
    SortRanks& operator=(const SortRanks&) = delete;

    // Whether the library holds `row` at the place the row got on entering
    // it. Inline: a sort asks it of every row.
    bool Holds(const LibraryItem* row) const {
        const uint32_t place = row->sortKeys.entry - 1;  // entry 0 wraps past every place
        return place < static_cast<uint32_t>(library_.Count()) && library_.Items()[place] == row;
    }

    // Brings the ranks of one text column up to date with every row of the
    // library. False when they cannot be: out of memory, or more distinct
    // keys than a rank can hold; the column then counts as not ranked.
    bool Refresh(int textKey);

    // Forgets every rank, as when the library is cleared.
    void Forget();

  private:
    ItemList& library_;                       // its rows are read and their ranks written
    int32_t rankedRows_[kTextKeyCount] = {};  // library rows each column was ranked over
};
