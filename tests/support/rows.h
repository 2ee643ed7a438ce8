// Test helpers: library rows built from literals, freed with their list.
#pragma once

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "library/library_item.h"
#include "library/library_lists.h"

namespace testing_support {

struct RowValues {
    const char* artist = nullptr;
    const char* title = nullptr;
    const char* album = nullptr;
    int32_t length = 0;
    int32_t track = 0;
    const char* genre = nullptr;
    int32_t year = 0;
    const char* filename = nullptr;
    RowOrigin origin = RowOrigin::Host;
};

// A new row with copies of the values's texts (null stays absent).
inline LibraryItem* MakeRow(const RowValues& values) {
    LibraryItem* row = NewRow();
    row->artist = CopyText(values.artist);
    row->title = CopyText(values.title);
    row->album = CopyText(values.album);
    row->length = values.length;
    row->track = values.track;
    row->genre = CopyText(values.genre);
    row->year = values.year;
    row->filename = CopyText(values.filename);
    row->origin = values.origin;
    return row;
}

// Library lists with a shorthand for adding rows.
struct OwnedLists : LibraryLists {
    LibraryItem* Add(const RowValues& values) {
        LibraryItem* row = MakeRow(values);
        AdoptRow(library, row);
        return row;
    }
};

// Rows that a plain list points at, as the result list does; the set owns
// them and frees them when it goes.
class RowSet {
  public:
    RowSet() = default;
    RowSet(const RowSet&) = delete;
    RowSet& operator=(const RowSet&) = delete;
    ~RowSet() {
        for (LibraryItem* row : owned_) {
            FreeRow(row);
        }
    }

    LibraryItem* Add(const RowValues& values) {
        LibraryItem* row = MakeRow(values);
        owned_.push_back(row);
        EXPECT_TRUE(list.Append(row));
        return row;
    }

    ItemList list;

  private:
    std::vector<LibraryItem*> owned_;
};

}  // namespace testing_support
