// Cell texts of the view and the list's type-ahead search.
#include "library/cell_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <vector>

#include "library/columns.h"
#include "library/item_list.h"
#include "library/library_item.h"
#include "tests/support/rows.h"

namespace {

using testing_support::RowSet;
using testing_support::RowValues;

// Cell texts

TEST(CellText, TextColumnsShowTheRowsOwnTextOrEmpty) {
    RowSet rows;
    const LibraryItem* full =
        rows.Add({"Artist", "Title", "Album", 0, 0, "Genre", 0, "C:\\Music\\a.mp3"});
    const LibraryItem* bare = rows.Add({});
    const char* const expected[] = {"Artist", "Title", "Album", nullptr,
                                    nullptr,  "Genre", nullptr, "C:\\Music\\a.mp3"};
    ASSERT_EQ(std::size(expected), size_t{kColumnCount}) << "a text per column of the table";
    char buffer[kCellTextSize];
    for (int column = 0; column < kColumnCount; ++column) {
        if (expected[column] == nullptr) {
            continue;
        }
        EXPECT_STREQ(CellText(*full, column, buffer, sizeof buffer), expected[column]) << column;
        const char* empty = CellText(*bare, column, buffer, sizeof buffer);
        ASSERT_NE(empty, nullptr) << column;
        EXPECT_STREQ(empty, "") << column;
    }
    EXPECT_STREQ(CellText(*bare, kColumnLength, buffer, sizeof buffer), "0:00");
}

TEST(CellText, NumbersShowOnlyInsideTheirRanges) {
    const struct {
        int column;
        int32_t value;
        const char* text;
    } cases[] = {
        {kColumnLength, 125, "2:05"},
        {kColumnLength, 0, "0:00"},
        {kColumnLength, 59, "0:59"},
        {kColumnLength, 60, "1:00"},
        {kColumnLength, 6000, "100:00"},
        {kColumnLength, -5, "0:-5"},
        {kColumnLength, -65, "-1:-5"},
        {kColumnLength, -120, "-2:00"},
        {kColumnLength, INT32_MAX, "35791394:07"},
        {kColumnLength, INT32_MIN, "-35791394:-8"},
        {kColumnTrack, 0, ""},
        {kColumnTrack, 1, "1"},
        {kColumnTrack, 999, "999"},
        {kColumnTrack, 1000, ""},
        {kColumnTrack, -3, ""},
        {kColumnTrack, INT32_MIN, ""},
        {kColumnYear, 2003, "2003"},
        {kColumnYear, 1, "1"},
        {kColumnYear, 4999, "4999"},
        {kColumnYear, 5000, ""},
        {kColumnYear, 0, ""},
        {kColumnYear, -1, ""},
    };
    for (const auto& c : cases) {
        RowSet rows;
        LibraryItem* row = rows.Add({});
        (c.column == kColumnLength  ? row->length
         : c.column == kColumnTrack ? row->track
                                    : row->year) = c.value;
        char buffer[kCellTextSize];
        std::strcpy(buffer, "stale");  // an empty cell must not show what the buffer held
        EXPECT_STREQ(CellText(*row, c.column, buffer, sizeof buffer), c.text)
            << "column " << c.column << " value " << c.value;
    }
}

TEST(CellText, ColumnsOutsideTheRowAreEmpty) {
    RowSet rows;
    const LibraryItem* row = rows.Add({"a", "b", "c", 125, 3, "d", 2003, "e"});
    char buffer[kCellTextSize];
    for (int column : {-1, 8, 99, INT_MIN, INT_MAX}) {
        const char* text = CellText(*row, column, buffer, sizeof buffer);
        ASSERT_NE(text, nullptr) << column;
        EXPECT_STREQ(text, "") << column;
    }
}

TEST(CellText, NumbersNeverOverrunTheBuffer) {
    RowSet rows;
    const LibraryItem* row =
        rows.Add({nullptr, nullptr, nullptr, 125, 999, nullptr, 2003, nullptr});
    const struct {
        int column;
        size_t size;
        const char* text;
    } cases[] = {
        {kColumnLength, 0, ""},    {kColumnLength, 1, ""},     {kColumnLength, 3, "2:"},
        {kColumnLength, 4, "2:0"}, {kColumnLength, 5, "2:05"}, {kColumnTrack, 0, ""},
        {kColumnTrack, 2, "9"},    {kColumnYear, 0, ""},       {kColumnYear, 4, "200"},
    };
    for (const auto& c : cases) {
        char storage[16];
        std::memset(storage, '#', sizeof storage);
        const char* text = CellText(*row, c.column, storage, c.size);
        ASSERT_NE(text, nullptr);
        EXPECT_STREQ(text, c.text) << "column " << c.column << " size " << c.size;
        for (size_t i = c.size; i < sizeof storage; ++i) {
            EXPECT_EQ(storage[i], '#')
                << "column " << c.column << " size " << c.size << " byte " << i;
        }
    }
    // Text columns need no room at all.
    RowSet named;
    EXPECT_STREQ(CellText(*named.Add({"Artist", nullptr, nullptr, 0, 0, nullptr, 0, nullptr}),
                          kColumnArtist, nullptr, 0),
                 "Artist");
}

TEST(YearText, WritesIntoAndReturnsTheBuffer) {
    char buffer[kCellTextSize];
    EXPECT_EQ(YearText(1999, buffer, sizeof buffer), buffer);
    EXPECT_STREQ(buffer, "1999");
    EXPECT_EQ(YearText(0, buffer, sizeof buffer), buffer);
    EXPECT_STREQ(buffer, "");
    EXPECT_STREQ(YearText(1999, buffer, 0), "");
    EXPECT_STREQ(YearText(1999, nullptr, 0), "");
}

// Keyboard search

class FindRowByKeyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const RowValues values[] = {
            {"Abba", "Waterloo", nullptr, 165, 1, nullptr, 1974, nullptr},             // 2:45
            {"The Beatles", "Help!", nullptr, 139, 2, nullptr, 1965, nullptr},         // 2:19
            {"Cream", "Badge", nullptr, 200, 3, nullptr, 1969, nullptr},               // 3:20
            {"  - Beatles", "Yesterday", nullptr, 125, 1000, nullptr, 1965, nullptr},  // 2:05
            {nullptr, "Untitled", nullptr, 0, 0, nullptr, 0, nullptr},                 // 0:00
            {"The Beatles Revival Band", "Hey", nullptr, 185, 7, nullptr, 2003, nullptr},
            {"Queen", "Bohemian Rhapsody", nullptr, 354, 11, nullptr, 1975, nullptr},
            {"The The", "This Is the Day", nullptr, 215, 4, nullptr, 1983, nullptr},
            {"abba", "SOS", nullptr, 200, 5, nullptr, 1975, nullptr},
            {"Zappa", "Peaches", nullptr, -65, -2, nullptr, -1, nullptr},  // -1:-5
        };
        for (const RowValues& v : values) {
            rows_.Add(v);
        }
    }

    RowSet rows_;
};

constexpr unsigned kPartial = kFindPartial;
constexpr unsigned kWhole = kFindString;

TEST_F(FindRowByKeyTest, FindsTheFirstMatchingRowFromTheStart) {
    const struct {
        const char* name;
        int32_t column;
        int32_t start;
        unsigned flags;
        const char* typed;
        int32_t found;
    } cases[] = {
        // Prefixes of the sort key, not of the text.
        {"article skipped", kColumnArtist, 0, kPartial, "beat", 1},
        {"leading noise skipped", kColumnArtist, 2, kPartial, "beat", 3},
        {"past the absent artist", kColumnArtist, 4, kPartial, "beat", 5},
        {"case ignored", kColumnArtist, 0, kPartial, "BEAT", 1},
        {"substring flag is a prefix", kColumnArtist, 0, kFindSubstring, "beat", 1},
        {"no real substring", kColumnArtist, 0, kFindSubstring | kFindWrap, "atles", -1},
        {"typed text keeps its article", kColumnArtist, 0, kPartial | kFindWrap, "the b", -1},
        {"typed longer than key", kColumnArtist, 0, kPartial | kFindWrap, "beatles forever", -1},
        {"article kept when alone", kColumnArtist, 0, kPartial, "the", 7},
        // Whole keys.
        {"equal key", kColumnArtist, 0, kWhole, "beatles", 1},
        {"equal key behind noise", kColumnArtist, 2, kWhole, "BEATLES", 3},
        {"prefix is not equal", kColumnArtist, 4, kWhole, "beatles", -1},
        {"partial wins over string", kColumnArtist, 4, kWhole | kPartial, "beatles", 5},
        {"prefix only with string flag", kColumnArtist, 0, kWhole | kFindWrap, "beat", -1},
        {"absent text is empty", kColumnArtist, 0, kWhole, "", 4},
        {"null typed is empty", kColumnArtist, 0, kWhole, nullptr, 4},
        {"null typed prefixes all", kColumnArtist, 3, kPartial, nullptr, 3},
        {"title with punctuation", kColumnTitle, 0, kWhole, "help!", 1},
        // The start index and wrapping.
        {"no wrap stops at the end", kColumnArtist, 6, kPartial, "beat", -1},
        {"wrap returns to the top", kColumnArtist, 6, kPartial | kFindWrap, "beat", 1},
        {"wrap reaches the row above start", kColumnArtist, 9, kPartial | kFindWrap, "abba", 0},
        {"start row itself", kColumnArtist, 8, kPartial, "abba", 8},
        {"rows above start unseen", kColumnTitle, 5, kPartial, "waterloo", -1},
        {"last row seen", kColumnTitle, 5, kPartial, "peaches", 9},
        {"start at count", kColumnArtist, 10, kPartial, "abba", 0},
        {"start beyond count", kColumnArtist, 100, kPartial, "zappa", 9},
        {"negative start", kColumnArtist, -1, kPartial, "abba", 0},
        {"minimal start", kColumnArtist, INT32_MIN, kPartial, "cream", 2},
        // Number columns search their cell texts.
        {"three minutes", kColumnLength, 0, kPartial, "3:", 2},
        {"three minutes again", kColumnLength, 3, kPartial, "3:", 5},
        {"three minutes later", kColumnLength, 6, kPartial, "3:", 7},
        {"negative length loses its sign", kColumnLength, 0, kPartial, "1:-5", 9},
        {"typed sign kept", kColumnLength, 0, kPartial | kFindWrap, "-1", -1},
        {"zero length shown", kColumnLength, 0, kWhole, "0:00", 4},
        {"year", kColumnYear, 2, kWhole, "1965", 3},
        {"year out of range is empty", kColumnYear, 5, kWhole, "", 9},
        {"track prefix", kColumnTrack, 1, kPartial, "1", 6},
        {"track out of range is empty", kColumnTrack, 0, kWhole, "", 3},
        {"filename absent", kColumnFilename, 2, kWhole, "", 2},
        // Columns outside the row have empty texts.
        {"unknown column empty", 8, 2, kWhole, "", 2},
        {"unknown column no prefix", -1, 0, kPartial | kFindWrap, "a", -1},
        // Without a string flag there is no search.
        {"no flags", kColumnArtist, 0, 0, "abba", -1},
        {"wrap alone", kColumnArtist, 0, kFindWrap, "abba", -1},
        {"unrelated bits", kColumnArtist, 0, 0x1 | 0x10, "abba", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindRowByKey(rows_.list, c.column, c.start, c.flags, c.typed), c.found) << c.name;
    }
}

TEST(FindRowByKey, EmptyListFindsNothing) {
    ItemList empty;
    for (unsigned flags : {0u, 0u + kFindString, 0u + kFindPartial, kFindPartial | kFindWrap}) {
        EXPECT_EQ(FindRowByKey(empty, kColumnArtist, 0, flags, ""), -1) << flags;
        EXPECT_EQ(FindRowByKey(empty, kColumnArtist, -1, flags, nullptr), -1) << flags;
    }
}

TEST(FindRowByKey, NullEntriesSearchAsEmptyRows) {
    RowSet rows;
    rows.list.Append(nullptr);
    rows.Add({"Abba", nullptr, nullptr, 0, 0, nullptr, 0, nullptr});
    EXPECT_EQ(FindRowByKey(rows.list, kColumnArtist, 0, kFindPartial, "a"), 1);
    EXPECT_EQ(FindRowByKey(rows.list, kColumnArtist, 0, kFindString, ""), 0);
}

}  // namespace

// The view's headers and the exports' field names come from the column table;
// these are the system's own titles and the view's starting widths.
TEST(ColumnTable, HoldsTheViewsTitlesWidthsAndKinds) {
    const struct {
        const char* title;
        int width;
        bool text;
        bool searched;
    } expected[] = {
        {"Artist", 200, true, true},  {"Title", 200, true, true},    {"Album", 200, true, true},
        {"Length", 64, false, false}, {"Track #", 64, false, false}, {"Genre", 100, true, true},
        {"Year", 64, false, true},    {"Filename", 80, true, false},
    };
    ASSERT_EQ(std::size(expected), size_t{kColumnCount}) << "a row per column of the table";
    for (int column = 0; column < kColumnCount; ++column) {
        EXPECT_STREQ(kColumns[column].title, expected[column].title);
        EXPECT_EQ(kColumns[column].width, expected[column].width) << column;
        EXPECT_EQ(kColumns[column].IsText(), expected[column].text) << column;
        EXPECT_EQ(kColumns[column].searched, expected[column].searched) << column;
    }
}
