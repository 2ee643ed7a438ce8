// Clearing and filling the library list.
#include "library/library_lists.h"

#include "library/library_item.h"

LibraryLists::~LibraryLists() {
    ClearLibrary(*this);
}

void ClearLibrary(LibraryLists& lists) {
    lists.result.reset();
    lists.searchTexts.Clear();
    lists.sortRanks.Forget();
    lists.awaitingPlayer = false;
    for (int32_t index = lists.library.Count() - 1; index >= 0; --index) {
        FreeRow(lists.library.Get(index));
        lists.library.Remove(index);
    }
}

bool AdoptRow(ItemList& library, LibraryItem* row) {
    // The place keeps equal rows in library order, and finds the row's
    // ranks; the ranks themselves wait for the first sort that needs them.
    if (row != nullptr) {
        row->sortKeys = RowSortKeys{};
        row->sortKeys.entry = static_cast<uint32_t>(library.Count()) + 1;
    }
    if (library.Append(row)) {
        return true;
    }
    FreeRow(row);
    return false;
}
