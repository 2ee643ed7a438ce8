// The row pointer list: growth steps, bounds, removal and clearing.
#include "library/item_list.h"

#include <gtest/gtest.h>

#include <string>

#include "library/library_lists.h"
#include "library/search_filter.h"
#include "library/sort_order.h"
#include "tests/support/rows.h"

namespace {

LibraryItem* Fake(intptr_t n) {
    return reinterpret_cast<LibraryItem*>(n * 16);
}

TEST(ItemList, GrowsAndShrinksInStepsOf32) {
    ItemList list;
    EXPECT_EQ(list.Slots(), 0);
    for (int i = 1; i <= 33; ++i) {
        list.Append(Fake(i));
        EXPECT_EQ(list.Slots(), i <= 32 ? 32 : 64) << i;
    }
    list.Remove(0);
    EXPECT_EQ(list.Slots(), 32);  // 32 rows left
    while (list.Count() > 1) {
        list.Remove(list.Count() - 1);
    }
    EXPECT_EQ(list.Slots(), 32);
    list.Remove(0);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Slots(), 32);  // a count of 0 is not shrunk
    list.Append(Fake(7));         // ... and the next append grows from 0
    EXPECT_EQ(list.Slots(), 32);
    EXPECT_EQ(list.Get(0), Fake(7));
}

TEST(ItemList, GetOutsideTheListIsNull) {
    ItemList list;
    EXPECT_EQ(list.Get(0), nullptr);
    list.Append(Fake(1));
    EXPECT_EQ(list.Get(-1), nullptr);
    EXPECT_EQ(list.Get(1), nullptr);
    EXPECT_EQ(list.Get(0), Fake(1));
}

TEST(ItemList, RemoveMovesLaterRowsDown) {
    ItemList list;
    for (int i = 1; i <= 4; ++i)
        list.Append(Fake(i));
    list.Remove(1);
    list.Remove(7);
    list.Remove(-1);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Get(0), Fake(1));
    EXPECT_EQ(list.Get(1), Fake(3));
    EXPECT_EQ(list.Get(2), Fake(4));
}

TEST(ClearLibrary, FreesEveryRowAndDropsTheResultList) {
    testing_support::OwnedLists lists;
    for (int i = 0; i < 40; ++i)
        lists.Add({"artist", "title"});
    lists.result = std::make_unique<ItemList>();
    lists.result->Append(lists.library.Get(3));
    ClearLibrary(lists);
    EXPECT_EQ(lists.library.Count(), 0);
    EXPECT_EQ(lists.result, nullptr);  // it could only point at freed rows
}

// Rows by origin, one letter each: D the player's, H the host's, S the sample.
struct RemovalCase {
    const char* library;  // the rows, titled by their letter and place ("D0", "H1")
    const char* shown;    // the places the result list points at, in its order
    SampleRow sample;
    const char* libraryAfter;  // titles left, in order
    const char* shownAfter;
};

const RemovalCase kRemovals[] = {
    {"DDHDS", "43210", SampleRow::kStays, "H2 S4", "S4 H2"},
    {"DDHDS", "43210", SampleRow::kGoes, "H2", "H2"},
    {"HHS", "210", SampleRow::kStays, "H0 H1 S2", "S2 H1 H0"},
    {"DDD", "1", SampleRow::kGoes, "", ""},
    {"HDHDH", "", SampleRow::kGoes, "H0 H2 H4", ""},
};

RowOrigin OriginOf(char letter) {
    return letter == 'D' ? RowOrigin::Device : letter == 'S' ? RowOrigin::Sample : RowOrigin::Host;
}

std::string Titles(const ItemList& list) {
    std::string titles;
    for (int32_t index = 0; index < list.Count(); ++index) {
        titles += (index ? " " : "") + std::string(list.Get(index)->title);
    }
    return titles;
}

TEST(RemovePlayerRows, TheRestKeepTheirOrderInBothListsAndStillSort) {
    for (const RemovalCase& removal : kRemovals) {
        SCOPED_TRACE(removal.library);
        testing_support::OwnedLists lists;
        for (const char* letter = removal.library; *letter != 0; ++letter) {
            const std::string title = *letter + std::to_string(letter - removal.library);
            lists.Add({"artist", title.c_str()})->origin = OriginOf(*letter);
        }
        lists.result = std::make_unique<ItemList>();
        for (const char* place = removal.shown; *place != 0; ++place) {
            lists.result->Append(lists.library.Get(*place - '0'));
        }
        // The search texts and the ranks get made, the result list's order
        // stays.
        FilterLibrary(lists, "");
        ItemList every;
        for (int32_t index = 0; index < lists.library.Count(); ++index) {
            every.Append(lists.library.Get(index));
        }
        SortRows(every, SortState{}, lists.sortRanks);
        RemovePlayerRows(lists, removal.sample);
        EXPECT_EQ(Titles(lists.library), removal.libraryAfter);
        EXPECT_EQ(Titles(*lists.result), removal.shownAfter);
        for (int32_t index = 0; index < lists.library.Count(); ++index) {
            EXPECT_TRUE(lists.sortRanks.Holds(lists.library.Get(index)));
        }
        // The next pass sees only the rows left.
        FilterResult found = FilterLibrary(lists, "");
        EXPECT_EQ(Titles(*found.rows), removal.libraryAfter);
    }
}

}  // namespace
