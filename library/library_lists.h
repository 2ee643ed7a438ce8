// The two lists of rows: the library list, which owns every row, and the
// result list of the last filter pass, which only points at library rows.
#pragma once

#include <memory>

#include "library/item_list.h"
#include "library/search_texts.h"
#include "library/sort_ranks.h"

// Destroying the lists frees the rows still in them.
struct LibraryLists {
    LibraryLists() = default;
    ~LibraryLists();
    LibraryLists(const LibraryLists&) = delete;
    LibraryLists& operator=(const LibraryLists&) = delete;

    ItemList library;
    // Null before the first filter pass; replaced by every pass.
    std::unique_ptr<ItemList> result;
    // The library rows' searched texts for the filter pass, in step with
    // `library` up to the last pass.
    SearchTexts searchTexts;
    // The ranks of the library rows' sort keys, brought up to date by the
    // first sort that needs them after rows entered.
    SortRanks sortRanks{library};
    // True while the library holds only what an import that found no player
    // left, the sample row: the next view looks for the player again.
    // Cleared as soon as anything else enters the library.
    bool awaitingPlayer = false;
};

// Frees every row of the library list, from the last to the first. The
// result list, the search texts and the sort ranks go too: every row they
// described is gone. The library awaits no player.
void ClearLibrary(LibraryLists& lists);

// Appends `row` to the library list, which then owns it, and gives it its
// place for the sort; frees the row when the list cannot grow. False in
// that case.
bool AdoptRow(ItemList& library, LibraryItem* row);
