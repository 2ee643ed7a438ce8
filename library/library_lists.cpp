// Clearing and filling the library list.
#include "library/library_lists.h"

#include "library/library_item.h"

LibraryLists::~LibraryLists() {
    ClearLibrary(*this);
}

void ClearLibrary(LibraryLists& lists) {
    lists.result.reset();
    lists.searchTexts.Clear();
    for (int32_t index = lists.library.Count() - 1; index >= 0; --index) {
        FreeRow(lists.library.Get(index));
        lists.library.Remove(index);
    }
}

bool AdoptRow(ItemList& library, LibraryItem* row) {
    // Rows never change once in the library, so their sort keys are derived here, once.
    if (row != nullptr) {
        row->sortKeys = DeriveSortKeys(*row, static_cast<uint32_t>(library.Count()));
    }
    if (library.Append(row)) {
        return true;
    }
    FreeRow(row);
    return false;
}
