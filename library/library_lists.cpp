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
    lists.player.reset();
    lists.playerRead = false;
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

namespace {

bool Leaves(const LibraryItem* row, SampleRow sample) {
    return row->origin == RowOrigin::Device ||
           (sample == SampleRow::kGoes && row->origin == RowOrigin::Sample);
}

// Moves the rows that stay to the front, in order, and cuts the list after
// them; `free` decides whether the rows that leave are freed here. Answers
// how many left.
int32_t KeepStaying(ItemList& list, SampleRow sample, bool free) {
    LibraryItem** items = list.Items();
    int32_t kept = 0;
    for (int32_t index = 0; index < list.Count(); ++index) {
        LibraryItem* row = items[index];
        if (!Leaves(row, sample)) {
            items[kept++] = row;
        } else if (free) {
            FreeRow(row);
        }
    }
    const int32_t left = list.Count() - kept;
    while (list.Count() > kept) {
        list.Remove(list.Count() - 1);  // from the end: nothing moves
    }
    return left;
}

}  // namespace

void RemovePlayerRows(LibraryLists& lists, SampleRow sample) {
    // The result list only points at rows: it lets go of them before they are
    // freed.
    if (lists.result) {
        KeepStaying(*lists.result, sample, false);
    }
    if (KeepStaying(lists.library, sample, true) == 0) {
        return;
    }
    // Every row's place in the library changed: the sort's places and ranks
    // and the searched texts are made afresh.
    for (int32_t index = 0; index < lists.library.Count(); ++index) {
        lists.library.Get(index)->sortKeys.entry = static_cast<uint32_t>(index) + 1;
    }
    lists.searchTexts.Clear();
    lists.sortRanks.Forget();
}
