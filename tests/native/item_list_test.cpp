// The row pointer list: growth steps, bounds, removal and clearing.
#include "library/item_list.h"

#include <gtest/gtest.h>

#include "library/library_lists.h"
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

}  // namespace
