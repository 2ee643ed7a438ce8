// Query splitting, field matching, the filter pass over library rows and the
// status line.
#include "library/search_filter.h"

#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>
#include <cstring>
#include <string>
#include <vector>

#include "library/item_list.h"
#include "library/library_item.h"

#include "tests/support/rows.h"

namespace {

using namespace std::string_literals;

// ---- SplitQuery ----------------------------------------------------------

std::vector<std::string> TermList(const char* terms) {
    std::vector<std::string> list;
    for (const char* term = terms; *term != '\0'; term += std::strlen(term) + 1) {
        list.emplace_back(term);
    }
    return list;
}

struct SplitCase {
    const char* name;
    std::string query;
    std::string written;  // every byte SplitQuery writes, NULs included
    std::vector<std::string> terms;
};

void PrintTo(const SplitCase& c, std::ostream* out) {
    *out << c.name;
}

class SplitQueryTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitQueryTest, WritesTheseBytesAndNothingMore) {
    const SplitCase& c = GetParam();
    std::vector<char> buffer(kTermBufferSize, 'Z');
    SplitQuery(c.query.c_str(), buffer.data(), buffer.size());
    EXPECT_EQ(std::string(buffer.data(), c.written.size()), c.written);
    EXPECT_EQ(buffer[c.written.size()], 'Z');
    EXPECT_EQ(TermList(buffer.data()), c.terms);
}

INSTANTIATE_TEST_SUITE_P(
    Queries, SplitQueryTest,
    ::testing::Values(
        SplitCase{"Empty", "", "\0\0"s, {}}, SplitCase{"OnlySeparators", " \t  ", "\0\0"s, {}},
        SplitCase{"OneWord", "abc", "abc\0\0"s, {"abc"}},
        SplitCase{"SeparatorRunsCollapse", "a  \tb", "a\0b\0\0"s, {"a", "b"}},
        SplitCase{"LeadingAndTrailingSeparators", "  a b \t", "a\0b\0\0\0"s, {"a", "b"}},
        SplitCase{"OtherWhitespaceIsPartOfATerm", "a\nb\rc", "a\nb\rc\0\0"s, {"a\nb\rc"}},
        SplitCase{"HighBytesPassThrough",
                  "\xC3\xA9t\xC3\xA9",
                  "\xC3\xA9t\xC3\xA9\0\0"s,
                  {"\xC3\xA9t\xC3\xA9"}},
        SplitCase{"QuotedPhraseThenWord",
                  "\"pink floyd\" wall",
                  "pink floyd\0wall\0\0"s,
                  {"pink floyd", "wall"}},
        SplitCase{"TabInsideQuotesStays", "\"a\tb\"", "a\tb\0\0\0"s, {"a\tb"}},
        // An opening quote carries the term on; the closing one ends it.
        SplitCase{"OpeningQuoteContinuesTerm", "ab\"c d\"", "abc d\0\0\0"s, {"abc d"}},
        SplitCase{"ClosingQuoteEndsTerm", "\"ab\"cd", "ab\0cd\0\0"s, {"ab", "cd"}},
        SplitCase{"UnclosedQuoteRunsToTheEnd", "\"a b", "a b\0\0"s, {"a b"}},
        SplitCase{"UnclosedQuoteAfterTerm", "ab\" c", "ab c\0\0"s, {"ab c"}},
        SplitCase{"LoneQuote", "\"", "\0\0"s, {}},
        // An empty quoted run still writes its NUL, an empty term that ends
        // the list: whatever follows is not searched for.
        SplitCase{"EmptyQuotesEndTheList", "a \"\" b", "a\0\0b\0\0"s, {"a"}},
        SplitCase{"LeadingEmptyQuotesLeaveNoTerms", "\"\" a", "\0a\0\0"s, {}},
        SplitCase{"QuotedSpaceIsATerm", "\" \"", " \0\0\0"s, {" "}},
        SplitCase{"QuotedSpaceBetweenWords", "a \" \" b", "a\0 \0b\0\0"s, {"a", " ", "b"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct SplitRoomCase {
    const char* name;
    std::string query;
    size_t size;
    std::string written;
};

void PrintTo(const SplitRoomCase& c, std::ostream* out) {
    *out << c.name;
}

class SplitQueryRoomTest : public ::testing::TestWithParam<SplitRoomCase> {};

TEST_P(SplitQueryRoomTest, StaysInsideTheBuffer) {
    const SplitRoomCase& c = GetParam();
    std::vector<char> buffer(c.size + 16, 'Z');
    SplitQuery(c.query.c_str(), buffer.data(), c.size);
    EXPECT_EQ(std::string(buffer.data(), c.written.size()), c.written);
    for (size_t i = c.written.size(); i < buffer.size(); ++i) {
        ASSERT_EQ(buffer[i], 'Z') << "byte " << i << " was written";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, SplitQueryRoomTest,
    ::testing::Values(SplitRoomCase{"NoRoom", "abc", 0, ""},
                      SplitRoomCase{"RoomForTheListEndOnly", "abc", 1, "\0"s},
                      SplitRoomCase{"RoomForBothNuls", "abc", 2, "\0\0"s},
                      SplitRoomCase{"QueryCutToFit", "abcdef", 5, "abc\0\0"s},
                      SplitRoomCase{"ExactFit", "abc", 5, "abc\0\0"s},
                      SplitRoomCase{"CutAfterASeparator", "ab cd", 6, "ab\0c\0\0"s},
                      SplitRoomCase{"LongestQueryFitsTheQueryBuffer",
                                    std::string(kMaxQueryLength, 'x'), kMaxQueryLength + 2,
                                    std::string(kMaxQueryLength, 'x') + "\0\0"s}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- FieldContains -------------------------------------------------------

struct ContainsCase {
    const char* name;
    const char* field;
    const char* term;
    int expected;
};

void PrintTo(const ContainsCase& c, std::ostream* out) {
    *out << c.name;
}

class FieldContainsTest : public ::testing::TestWithParam<ContainsCase> {};

TEST_P(FieldContainsTest, Finds) {
    const ContainsCase& c = GetParam();
    EXPECT_EQ(FieldContains(c.field, c.term), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, FieldContainsTest,
    ::testing::Values(
        ContainsCase{"AbsentFieldBeforeEmptyTerm", nullptr, "", 0},
        ContainsCase{"AbsentField", nullptr, "a", 0},
        ContainsCase{"EmptyTermInEmptyField", "", "", 1},
        ContainsCase{"EmptyTermInField", "abc", "", 1}, ContainsCase{"EmptyField", "", "a", 0},
        ContainsCase{"WholeField", "abc", "abc", 1},
        ContainsCase{"InsideAWord", "The Beatles", "beat", 1},
        ContainsCase{"AtTheVeryEnd", "The Beatles", "LES", 1},
        ContainsCase{"AtTheStart", "The Beatles", "tHE", 1},
        ContainsCase{"AfterAFalseStart", "aaab", "aab", 1},
        ContainsCase{"TermLongerThanField", "abc", "abcd", 0},
        ContainsCase{"TermRunsOffTheEnd", "abc", "bcd", 0},
        ContainsCase{"NotThere", "The Beatles", "stones", 0},
        ContainsCase{"LetterBoundsFoldUp", "az", "AZ", 1},
        ContainsCase{"LetterBoundsFoldDown", "AZ", "az", 1},
        // Bytes 0x20 apart that are not letters stay distinct.
        ContainsCase{"BracketIsNotBrace", "[", "{", 0},
        ContainsCase{"CloseBracketIsNotCloseBrace", "]", "}", 0},
        ContainsCase{"AtIsNotBacktick", "@", "`", 0}, ContainsCase{"CaretIsNotTilde", "^", "~", 0},
        ContainsCase{"DigitsAreNotFolded", "1", "\x11", 0},
        // No locale folding of accented letters, in UTF-8 or Latin-1.
        ContainsCase{"Utf8AccentsDoNotFold", "\xC3\x89t\xC3\xA9", "\xC3\xA9t\xC3\xA9", 0},
        ContainsCase{"Latin1AccentsDoNotFold", "\xC9", "\xE9", 0},
        ContainsCase{"Utf8SameBytesMatch", "Bj\xC3\xB6rk", "BJ\xC3\xB6RK", 1}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- FilterRows ----------------------------------------------------------

struct RowText {
    const char* artist;
    const char* title;
    const char* album;
    const char* genre;
    int32_t year;
    int32_t length;
    int32_t track;
    const char* filename;
};

// A library list that owns its rows, as the plug-in's own does.
class Library {
  public:
    Library() = default;
    Library(std::initializer_list<RowText> rows) {
        for (const RowText& row : rows) {
            Add(row);
        }
    }
    ~Library() {
        for (int32_t i = 0; i < list_.Count(); ++i) {
            FreeRow(list_.Get(i));
        }
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    void Add(const RowText& text) {
        LibraryItem* row =
            testing_support::MakeRow({text.artist, text.title, text.album, text.length, text.track,
                                      text.genre, text.year, text.filename});
        if (!list_.Append(row)) {
            FreeRow(row);
            FAIL() << "out of memory";
        }
    }
    void AddNull() { ASSERT_TRUE(list_.Append(nullptr)); }

    const ItemList& List() const { return list_; }

    // The library positions of the rows a pass kept, in the order kept.
    std::vector<int> Positions(const FilterResult& result) const {
        std::vector<int> positions;
        for (int32_t i = 0; i < result.rows->Count(); ++i) {
            int found = -1;
            for (int32_t j = 0; j < list_.Count(); ++j) {
                if (list_.Get(j) == result.rows->Get(i)) {
                    found = j;
                }
            }
            positions.push_back(found);
        }
        return positions;
    }

  private:
    ItemList list_;
};

std::string StatusLine(const Library& library, const FilterResult& result) {
    char line[kStatusLineSize];
    FormatStatusLine(line, sizeof line, library.List().Count(), result);
    return line;
}

// Numbers chosen so that no year contains the length, track or another
// row's digits by accident.
class FilterRowsTest : public ::testing::Test {
  protected:
    Library library_{
        {"The Beatles", "Come Together", "Abbey Road", "Rock", 1969, 259, 1, "come.mp3"},
        {"Pink Floyd", "Another Brick in the Wall", "The Wall", "Progressive Rock", 1979, 238, 5,
         "brick.mp3"},
        {"Bj\xC3\xB6rk", "Army of Me", "Post", "Electronic", 1995, 234, 1, "army.mp3"},
        {"Prince", "1999", "1999", "Funk", 1982, 379, 1, "prince.mp3"},
        {nullptr, nullptr, nullptr, nullptr, 0, 60, 42, "secret.mp3"},
        {"Moby", "Porcelain", "Play", "Electronica", 1999, 241, 8, "moby.mp3"},
    };
    static constexpr uint32_t kAllSeconds = 259 + 238 + 234 + 379 + 60 + 241;
};

TEST_F(FilterRowsTest, KeepsTheRowsWhereEveryTermIsFound) {
    struct Case {
        const char* query;
        std::vector<int> rows;
    };
    const Case cases[] = {
        {"", {0, 1, 2, 3, 4, 5}},
        {" \t ", {0, 1, 2, 3, 4, 5}},
        {"BEATLES", {0}},
        {"beat", {0}},
        {"beatles 69", {0}},  // artist and year text of one row
        {"69 beatles", {0}},
        {"99", {2, 3, 5}},  // a title, and year texts alone
        {"rock", {0, 1}},
        {"wall", {1}},
        {"\"pink floyd\" wall", {1}},
        {"\"floyd pink\"", {}},
        {"pink wall floyd", {1}},
        {"pink beatles", {}},  // both found, but never in the same row
        {"\"tronic\"", {2, 5}},
        {"electronic 1995", {2}},
        {"bj\xC3\xB6rk", {2}},
        {"BJ\xC3\x96RK", {}},       // only ASCII letters fold
        {"\" \"", {0, 1, 2}},       // a space is in some field of these only
        {"beatles \"\" zzz", {0}},  // the empty quoted term ends the list
        {"\"\" zzz", {0, 1, 2, 3, 4, 5}},
        // The filename, the length (as seconds or as 4:19) and the track
        // number are never searched.
        {"secret", {}},
        {"mp3", {}},
        {"259", {}},
        {"4:19", {}},
        {"42", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query);
        const FilterResult result = FilterRows(library_.List(), c.query);
        ASSERT_NE(result.rows, nullptr);
        EXPECT_EQ(library_.Positions(result), c.rows);
        EXPECT_EQ(result.matchCount, static_cast<int32_t>(c.rows.size()));
        EXPECT_EQ(result.totalSeconds, kAllSeconds);
    }
}

TEST_F(FilterRowsTest, AddsUpTheMatchingLengths) {
    const FilterResult rock = FilterRows(library_.List(), "rock");
    EXPECT_EQ(rock.matchCount, 2);
    EXPECT_EQ(rock.matchSeconds, 259u + 238u);
    EXPECT_EQ(rock.totalSeconds, kAllSeconds);
    EXPECT_EQ(StatusLine(library_, rock), "Found: 2 items [0:08:17]");

    const FilterResult none = FilterRows(library_.List(), "zzz");
    EXPECT_EQ(none.matchCount, 0);
    EXPECT_EQ(none.matchSeconds, 0u);
    EXPECT_EQ(none.totalSeconds, kAllSeconds);
    EXPECT_EQ(StatusLine(library_, none), "Found: 0 items [0:00:00]");

    const FilterResult all = FilterRows(library_.List(), "");
    EXPECT_EQ(all.matchSeconds, kAllSeconds);
    EXPECT_EQ(StatusLine(library_, all), "6 items [0:23:31]");
}

TEST_F(FilterRowsTest, CutsTheQueryBeforeSplitting) {
    Library library{
        {nullptr, "abcdX", nullptr, nullptr, 0, 0, 0, nullptr},
        {nullptr, "abcdefgh", nullptr, nullptr, 0, 0, 0, nullptr},
        {nullptr, "other", nullptr, nullptr, 0, 0, 0, nullptr},
    };
    struct Case {
        const char* name;
        std::string query;
        std::vector<int> rows;
    };
    const Case cases[] = {
        // "abcdefgh" from position 250 on: only "abcd" is left to search.
        {"TermCutShort", std::string(kMaxQueryLength - 4, ' ') + "abcdefgh", {0, 1}},
        {"TermJustFits", std::string(kMaxQueryLength - 8, ' ') + "abcdefgh", {1}},
        {"TermBeyondTheCut", std::string(kMaxQueryLength, ' ') + "zzz", {0, 1, 2}},
        {"ThreeHundredCharacters",
         "abcd" + std::string(kMaxQueryLength - 4, ' ') + "zzz" + std::string(300 - 257, 'z'),
         {0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FilterResult result = FilterRows(library.List(), c.query.c_str());
        EXPECT_EQ(library.Positions(result), c.rows);
    }
}

// Only 1 to 4999 gives a year text; any other year cannot be found, not even
// by its digits.
TEST(FilterRowsYear, OnlyYearsOneTo4999AreSearched) {
    struct Case {
        int32_t year;
        const char* query;
        bool found;
    };
    const Case cases[] = {
        {1, "1", true},
        {1969, "1969", true},
        {1969, "96", true},
        {4999, "4999", true},
        {0, "0", false},
        {-1, "1", false},
        {-1969, "1969", false},
        {5000, "5000", false},
        {5001, "500", false},
        {INT32_MAX, "2147483647", false},
        {INT32_MIN, "2147483648", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.year) + " / " + c.query);
        Library library{{nullptr, nullptr, nullptr, nullptr, c.year, 0, 0, nullptr}};
        EXPECT_EQ(FilterRows(library.List(), c.query).matchCount, c.found ? 1 : 0);
        EXPECT_EQ(FilterRows(library.List(), "").matchCount, 1);
        EXPECT_EQ(FilterRows(library.List(), "\" \"").matchCount, 0);
    }
}

TEST(FilterRowsTotals, WrapAt32Bits) {
    struct Case {
        const char* name;
        std::vector<int32_t> lengths;
        uint32_t total;
        const char* statusLine;
    };
    const Case cases[] = {
        {"HourMinutesSeconds", {3600, 120, 5}, 3725u, "3 items [1:02:05]"},
        {"HundredHours", {180000, 180000}, 360000u, "2 items [100:00:00]"},
        {"ExactlyTwoToThe32", {INT32_MAX, INT32_MAX, 2}, 0u, "3 items [0:00:00]"},
        {"PastTwoToThe32", {INT32_MAX, INT32_MAX, 3}, 1u, "3 items [0:00:01]"},
        {"NegativeAddsTwosComplement", {-1}, 0xFFFFFFFFu, "1 items [1193046:28:15]"},
        {"NegativeCancels", {-60, 61}, 1u, "2 items [0:00:01]"},
        {"MostNegative", {INT32_MIN}, 0x80000000u, "1 items [596523:14:08]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Library library;
        for (int32_t length : c.lengths) {
            library.Add({"Artist", nullptr, nullptr, nullptr, 0, length, 0, nullptr});
        }
        const FilterResult all = FilterRows(library.List(), "");
        EXPECT_EQ(all.totalSeconds, c.total);
        EXPECT_EQ(all.matchSeconds, c.total);
        EXPECT_EQ(StatusLine(library, all), c.statusLine);

        const FilterResult some = FilterRows(library.List(), "artist");
        EXPECT_EQ(some.matchSeconds, c.total);
        EXPECT_EQ(StatusLine(library, some), c.statusLine) << "every row matched";
    }
}

TEST(FilterRowsEdges, EmptyLibrary) {
    Library library;
    for (const char* query : {"", "abc"}) {
        SCOPED_TRACE(query);
        const FilterResult result = FilterRows(library.List(), query);
        ASSERT_NE(result.rows, nullptr);
        EXPECT_EQ(result.rows->Count(), 0);
        EXPECT_EQ(result.matchCount, 0);
        EXPECT_EQ(result.totalSeconds, 0u);
        EXPECT_EQ(StatusLine(library, result), "0 items [0:00:00]");
    }
}

TEST(FilterRowsEdges, RowWithNothingToSearchMatchesOnlyWithoutTerms) {
    Library library{{nullptr, nullptr, nullptr, nullptr, 0, 0, 0, "file.mp3"}};
    EXPECT_EQ(FilterRows(library.List(), "").matchCount, 1);
    EXPECT_EQ(FilterRows(library.List(), "\"\"").matchCount, 1);
    for (const char* query : {"a", "\" \"", "file", "0"}) {
        SCOPED_TRACE(query);
        EXPECT_EQ(FilterRows(library.List(), query).matchCount, 0);
    }
}

TEST(FilterRowsEdges, NullQueryHasNoTerms) {
    Library library{{"a", nullptr, nullptr, nullptr, 0, 7, 0, nullptr}};
    const FilterResult result = FilterRows(library.List(), nullptr);
    EXPECT_EQ(result.matchCount, 1);
    EXPECT_EQ(result.matchSeconds, 7u);
}

TEST(FilterRowsEdges, SkipsNullRows) {
    Library library;
    library.Add({"a", nullptr, nullptr, nullptr, 0, 10, 0, nullptr});
    library.AddNull();
    library.Add({"b", nullptr, nullptr, nullptr, 0, 20, 0, nullptr});
    const FilterResult result = FilterRows(library.List(), "");
    EXPECT_EQ(library.Positions(result), (std::vector<int>{0, 2}));
    EXPECT_EQ(result.matchCount, 2);
    EXPECT_EQ(result.totalSeconds, 30u);
    EXPECT_EQ(result.matchSeconds, 30u);
}

TEST(FilterRowsEdges, ResultListGrowsPastOneStep) {
    Library library;
    const int rows = ItemList::kGrowthStep * 2 + 1;
    for (int i = 0; i < rows; ++i) {
        library.Add({i % 2 == 0 ? "even" : "odd", nullptr, nullptr, nullptr, 0, 1, 0, nullptr});
    }
    const FilterResult even = FilterRows(library.List(), "even");
    ASSERT_EQ(even.matchCount, ItemList::kGrowthStep + 1);
    ASSERT_EQ(even.rows->Count(), even.matchCount);
    const std::vector<int> positions = library.Positions(even);
    for (int i = 0; i < even.matchCount; ++i) {
        EXPECT_EQ(positions[i], 2 * i);
    }
}

// ---- FormatStatusLine ----------------------------------------------------

TEST(FilterLibrary, KeepsItsSearchTextsInStepWithTheLibrary) {
    testing_support::OwnedLists lists;
    lists.Add({"Abba", "Waterloo", "Gold", 100, 1, "Pop", 1974});
    EXPECT_EQ(FilterLibrary(lists, "waterloo").matchCount, 1);

    // Rows that enter after a pass are searched by the next one.
    lists.Add({"ABBA", "SOS", "Gold", 200, 2, "Pop", 1975});
    lists.Add({"Cd", "Song", "Ab", 50, 1, nullptr, 0});
    const FilterResult both = FilterLibrary(lists, "abba GOLD");
    EXPECT_EQ(both.matchCount, 2);
    EXPECT_EQ(both.matchSeconds, 300u);
    EXPECT_EQ(both.totalSeconds, 350u);
    EXPECT_EQ(FilterLibrary(lists, "1975").matchCount, 1);
    // Fields are searched one by one: no term is found across two of them.
    EXPECT_EQ(FilterLibrary(lists, "abcd").matchCount, 0);
    EXPECT_EQ(FilterLibrary(lists, "popsos").matchCount, 0);

    ClearLibrary(lists);
    lists.Add({"Blur", "Song 2", "Blur", 122, 2, "Britpop", 1997});
    const FilterResult after = FilterLibrary(lists, "");
    EXPECT_EQ(after.matchCount, 1);
    EXPECT_EQ(after.totalSeconds, 122u);
    EXPECT_EQ(FilterLibrary(lists, "abba").matchCount, 0);
    EXPECT_EQ(FilterLibrary(lists, "pop").matchCount, 1);
}

TEST(StatusLine, Formats) {
    struct Case {
        const char* name;
        int32_t libraryCount;
        int32_t shownCount;  // -1: no result list
        uint32_t matchSeconds;
        uint32_t totalSeconds;
        const char* expected;
    };
    const Case cases[] = {
        {"EveryRowShowsTheTotal", 3, 3, 1, 3725, "3 items [1:02:05]"},
        {"EmptyLibrary", 0, 0, 0, 0, "0 items [0:00:00]"},
        {"SomeRowsShowTheMatches", 5, 2, 59, 9999, "Found: 2 items [0:00:59]"},
        {"NoRowsShown", 4, 0, 0, 100, "Found: 0 items [0:00:00]"},
        {"LastSecondOfAnHour", 1, 1, 0, 3599, "1 items [0:59:59]"},
        {"FirstSecondOfAnHour", 1, 1, 0, 3600, "1 items [1:00:00]"},
        {"HundredHours", 2, 1, 360000, 0, "Found: 1 items [100:00:00]"},
        {"LargestTotal", 1, 1, 0, 0xFFFFFFFFu, "1 items [1193046:28:15]"},
        {"LargestMatch", 2, 1, 0xFFFFFFFFu, 0, "Found: 1 items [1193046:28:15]"},
        {"NoListCountsAsEmpty", 3, -1, 61, 999, "Found: 0 items [0:01:01]"},
        {"NoListAndEmptyLibrary", 0, -1, 0, 0, "0 items [0:00:00]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FilterResult result;
        if (c.shownCount >= 0) {
            result.rows.reset(new ItemList);
            for (int32_t i = 0; i < c.shownCount; ++i) {
                ASSERT_TRUE(result.rows->Append(nullptr));  // never dereferenced
            }
        }
        result.matchCount = c.shownCount < 0 ? 0 : c.shownCount;
        result.matchSeconds = c.matchSeconds;
        result.totalSeconds = c.totalSeconds;
        char line[kStatusLineSize];
        FormatStatusLine(line, sizeof line, c.libraryCount, result);
        EXPECT_STREQ(line, c.expected);
    }
}

TEST(StatusLine, StaysInsideASmallBuffer) {
    FilterResult result;
    result.rows.reset(new ItemList);
    result.matchSeconds = 3725;
    struct Case {
        size_t size;
        std::string expected;  // what the buffer holds, NUL included
    };
    const Case cases[] = {
        {0, ""}, {1, "\0"s}, {8, "Found: \0"s}, {31, "Found: 0 items [1:02:05]\0"s}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        char line[40];
        std::memset(line, 'Z', sizeof line);
        FormatStatusLine(line, c.size, 5, result);
        EXPECT_EQ(std::string(line, c.expected.size()), c.expected);
        for (size_t i = c.expected.size(); i < sizeof line; ++i) {
            ASSERT_EQ(line[i], 'Z') << "byte " << i << " was written";
        }
    }
}

}  // namespace
