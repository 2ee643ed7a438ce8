// The two lists of rows: the library list, which owns every row, and the
// result list of the last filter pass, which only points at library rows.
#pragma once

#include <memory>

#include "library/item_list.h"

// Destroying the lists frees the rows still in them.
struct LibraryLists {
    LibraryLists() = default;
    ~LibraryLists();
    LibraryLists(const LibraryLists&) = delete;
    LibraryLists& operator=(const LibraryLists&) = delete;

    ItemList library;
    // Null before the first filter pass; replaced by every pass.
    std::unique_ptr<ItemList> result;
};

// Frees every row of the library list, from the last to the first. The
// result list goes too: every row it pointed at is gone.
void ClearLibrary(LibraryLists& lists);

// Appends `row` to the library list, which then owns it, and derives its sort
// keys; frees the row when the list cannot grow. False in that case.
bool AdoptRow(ItemList& library, LibraryItem* row);
