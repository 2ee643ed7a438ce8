// The two lists of rows: the library list, which owns every row, and the
// result list of the last filter pass, which only points at library rows.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "catalogue/volume_identity.h"
#include "library/item_list.h"
#include "library/search_texts.h"
#include "library/sort_ranks.h"

// The player the library's player rows were read from: its drive root, as
// "E:/", and what tells it from another player on that drive.
struct HeldPlayer {
    char root[4];
    VolumeIdentity identity;
};

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
    // The player whose rows the library holds; empty while it holds none (no
    // player was found, it was pulled, or it was pulled during the read).
    std::optional<HeldPlayer> player;
    // True once an import filled the library since it was last cleared. Until
    // then a library that holds the host's items is never filled from the
    // player (they were the user's choice); from then on a player that comes
    // is read, next to the user's rows.
    bool playerRead = false;
    // Exports whose records the host may be reading now (RowLoan). Rows do
    // not leave the library while any is out.
    mutable int32_t rowsOnLoan = 0;
};

// Marks the library's rows as lent to the host from construction to
// destruction: from the making of an export until the host request that
// carries it has returned. The host may run a message loop inside the
// request, where a pulled player would otherwise free the rows it reads.
class RowLoan {
  public:
    explicit RowLoan(const LibraryLists& lists) : lists_(lists) { ++lists_.rowsOnLoan; }
    ~RowLoan() { --lists_.rowsOnLoan; }
    RowLoan(const RowLoan&) = delete;
    RowLoan& operator=(const RowLoan&) = delete;

  private:
    const LibraryLists& lists_;
};

// Frees every row of the library list, from the last to the first. The
// result list, the search texts and the sort ranks go too: every row they
// described is gone. The library holds no player and was never read.
void ClearLibrary(LibraryLists& lists);

// Whether the sample row leaves with the player's rows.
enum class SampleRow { kStays, kGoes };

// Frees the rows read from the player (and the sample row with kGoes); the
// host's rows stay, in their order. The result list keeps its other rows in
// its order, so a closed view's last search still holds; the search texts
// and sort ranks are made again by the next pass that needs them.
void RemovePlayerRows(LibraryLists& lists, SampleRow sample);

// Appends `row` to the library list, which then owns it, and gives it its
// place for the sort; frees the row when the list cannot grow. False in
// that case.
bool AdoptRow(ItemList& library, LibraryItem* row);
