// Sort keys, key comparison, the row tie-break chains, sorting and column
// clicks.
#include "library/columns.h"
#include "library/sort_order.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "library/item_list.h"
#include "library/library_item.h"
#include "tests/support/rows.h"

namespace {

using testing_support::RowSet;
using testing_support::RowValues;

// The titles in list order: every row in these tests has a unique title.
std::vector<std::string> Titles(const RowSet& set) {
    std::vector<std::string> titles;
    for (int32_t i = 0; i < set.list.Count(); ++i) {
        const LibraryItem* row = set.list.Get(i);
        titles.emplace_back(row != nullptr && row->title != nullptr ? row->title : "<null>");
    }
    return titles;
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

// Sort keys

struct KeyCase {
    const char* text;
    size_t keyOffset;  // where the key starts inside the text
};

TEST(SortKey, PointsPastLeadingNoiseArticleAndSpaces) {
    const KeyCase cases[] = {
        {"Beatles", 0},
        {"The Beatles", 4},
        {"the beatles", 4},
        {"THE BEATLES", 4},
        {"tHe Beatles", 4},
        {"  ...The  Who", 10},
        {"--The Who", 6},
        {"  Beatles", 2},
        {"Theatre", 0},
        {"The", 0},
        {"Th", 0},
        {"T", 0},
        {"The ", 4},        // only the article: the key is empty
        {"The 'Rock'", 4},  // leading punctuation is skipped only before the article
        {"The -Who", 4},
        {"The The", 4},            // the article is skipped once
        {"The\tBand", 0},          // a tab is not the space after the article
        {"The \tBand", 4},         // and is not skipped as a space either
        {"A  B", 0},               // inner spaces stay
        {"\xC3\xA9t\xC3\xA9", 2},  // high bytes are not letters
        {"\xEF\xBB\xBFThe Cure", 7},
        {"42nd Street", 0},
        {"!!!", 3},
        {"", 0},
        {"   ", 3},
    };
    for (const KeyCase& c : cases) {
        // A heap copy lets the address sanitizer catch a read past the
        // terminator.
        char* text = CopyText(c.text);
        EXPECT_EQ(SortKey(text), text + c.keyOffset) << '"' << c.text << '"';
        FreeText(text);
    }
}

TEST(SortKey, AbsentTextGivesTheEmptyText) {
    const char* key = SortKey(nullptr);
    ASSERT_NE(key, nullptr);
    EXPECT_STREQ(key, "");
}

struct CompareCase {
    const char* a;
    const char* b;
    int sign;
};

TEST(CompareKeys, OrdersKeysByLoweredUnsignedBytes) {
    const CompareCase cases[] = {
        {"abba", "ABBA", 0},
        {"Beatles", "The Beatles", 0},
        {"  ...The  Who", "who", 0},
        {"The Beatles", "Abba", 1},
        {"The Beatles", "Cream", -1},
        {"a_b", "ab", -1},  // '_' sits between the upper- and lower-case letters
        {"a_b", "AB", -1},
        {"a[", "AZ", -1},    // '[' after 'Z' unless 'Z' is lowered first
        {"ab", "abc", -1},   // the shorter of two equal prefixes first
        {"a\xE9", "az", 1},  // bytes compare unsigned
        {"Theatre", "The Eatre", 1},
        {"a\tb", "a b", -1},
        {nullptr, "a", -1},
        {nullptr, "", 0},
        {nullptr, nullptr, 0},
        {"!!!", nullptr, 0},
        {"", "0", -1},
        {"The ", "", 0},
        {"9", "A", -1},
    };
    for (const CompareCase& c : cases) {
        const char* a = c.a == nullptr ? "(null)" : c.a;
        const char* b = c.b == nullptr ? "(null)" : c.b;
        EXPECT_EQ(Sign(CompareKeys(c.a, c.b)), c.sign) << '"' << a << "\" vs \"" << b << '"';
        EXPECT_EQ(Sign(CompareKeys(c.b, c.a)), -c.sign) << '"' << b << "\" vs \"" << a << '"';
    }
}

// The tie-break chains

struct ChainStep {
    int32_t column;
    bool alwaysAscending;
};

struct Chain {
    int32_t column;
    ChainStep steps[4];
};

const Chain kChains[] = {
    {kColumnArtist,
     {{kColumnArtist, false}, {kColumnAlbum, false}, {kColumnTrack, true}, {kColumnTitle, true}}},
    {kColumnTitle,
     {{kColumnTitle, false}, {kColumnArtist, false}, {kColumnAlbum, false}, {kColumnTrack, true}}},
    {kColumnAlbum,
     {{kColumnAlbum, false}, {kColumnTrack, true}, {kColumnTitle, true}, {kColumnArtist, true}}},
    {kColumnLength,
     {{kColumnLength, false}, {kColumnArtist, false}, {kColumnAlbum, false}, {kColumnTrack, true}}},
    {kColumnTrack,
     {{kColumnTrack, false}, {kColumnTitle, false}, {kColumnArtist, false}, {kColumnAlbum, false}}},
    {kColumnGenre,
     {{kColumnGenre, false}, {kColumnArtist, false}, {kColumnAlbum, false}, {kColumnTrack, true}}},
    {kColumnYear,
     {{kColumnYear, false}, {kColumnArtist, false}, {kColumnAlbum, false}, {kColumnTrack, true}}},
};

const RowValues kMiddle = {"Middle", "Middle", "Middle", 500, 50, "Middle", 2000};

// kMiddle with one column moved below (-1) or above (+1) it.
RowValues Shifted(RowValues values, int32_t column, int by) {
    const char* text = by < 0 ? "Aardvark" : "Zebra";
    switch (column) {
        case kColumnArtist:
            values.artist = text;
            break;
        case kColumnTitle:
            values.title = text;
            break;
        case kColumnAlbum:
            values.album = text;
            break;
        case kColumnLength:
            values.length += by * 100;
            break;
        case kColumnTrack:
            values.track += by * 10;
            break;
        case kColumnGenre:
            values.genre = text;
            break;
        case kColumnYear:
            values.year += by * 10;
            break;
        default:
            break;
    }
    return values;
}

bool InChain(const Chain& chain, int32_t column) {
    for (const ChainStep& step : chain.steps) {
        if (step.column == column) {
            return true;
        }
    }
    return false;
}

TEST(CompareRows, EachKeyOfTheChainDecidesInItsDirection) {
    for (const Chain& chain : kChains) {
        for (int32_t direction : {0, 1, 5, -1}) {
            const SortState state{chain.column, direction};
            for (const ChainStep& step : chain.steps) {
                RowSet rows;
                const LibraryItem* low = rows.Add(Shifted(kMiddle, step.column, -1));
                const LibraryItem* high = rows.Add(kMiddle);
                const int expected = (step.alwaysAscending || direction == 0) ? -1 : 1;
                EXPECT_EQ(CompareRows(*low, *high, state), expected)
                    << "sort " << chain.column << " dir " << direction << " key " << step.column;
                EXPECT_EQ(CompareRows(*high, *low, state), -expected)
                    << "sort " << chain.column << " dir " << direction << " key " << step.column;
            }
        }
    }
}

TEST(CompareRows, AnEarlierKeyOfTheChainOutranksALaterOne) {
    for (const Chain& chain : kChains) {
        for (int32_t direction : {0, 1}) {
            const SortState state{chain.column, direction};
            for (int first = 0; first < 4; ++first) {
                for (int later = first + 1; later < 4; ++later) {
                    const ChainStep& deciding = chain.steps[first];
                    RowSet rows;
                    const LibraryItem* a = rows.Add(Shifted(Shifted(kMiddle, deciding.column, -1),
                                                            chain.steps[later].column, 1));
                    const LibraryItem* b = rows.Add(kMiddle);
                    const int expected = (deciding.alwaysAscending || direction == 0) ? -1 : 1;
                    EXPECT_EQ(CompareRows(*a, *b, state), expected)
                        << "sort " << chain.column << " dir " << direction << " keys "
                        << deciding.column << " over " << chain.steps[later].column;
                }
            }
        }
    }
}

TEST(CompareRows, ColumnsOffTheChainAreIgnored) {
    for (const Chain& chain : kChains) {
        for (int32_t column = 0; column < kColumnCount - 1; ++column) {
            if (InChain(chain, column)) {
                continue;
            }
            RowSet rows;
            LibraryItem* a = rows.Add(Shifted(kMiddle, column, -1));
            LibraryItem* b = rows.Add(kMiddle);
            a->filename = CopyText("a.mp3");
            b->filename = CopyText("b.mp3");
            EXPECT_EQ(CompareRows(*a, *b, SortState{chain.column, 0}), 0)
                << "sort " << chain.column << " key " << column;
        }
    }
}

TEST(CompareRows, ColumnsOutsideTheSortableRangeCompareEverythingEqual) {
    RowSet rows;
    const LibraryItem* a = rows.Add({"Abba", "A", "A", 1, 1, "A", 1});
    LibraryItem* b = rows.Add({"Zappa", "Z", "Z", 9, 9, "Z", 9});
    b->filename = CopyText("z.mp3");
    for (int32_t column : {7, 8, 99, -1, INT32_MIN, INT32_MAX}) {
        EXPECT_EQ(CompareRows(*a, *b, SortState{column, 0}), 0) << column;
        EXPECT_EQ(CompareRows(*b, *a, SortState{column, 1}), 0) << column;
    }
}

TEST(CompareRows, NegativeNumbersCountAsZero) {
    struct Case {
        int32_t column;
        int32_t low;   // a's value
        int32_t high;  // b's value
        int expected;  // with the titles deciding any tie the chain reaches
    } const cases[] = {
        {kColumnLength, -5, 0, 0},  // Length ties, Artist/Album/Track tie too
        {kColumnLength, -5, 3, -1},  {kColumnLength, INT32_MIN, 1, -1},
        {kColumnTrack, -1, 0, -1},  // Track ties, Title decides ("A" before "B")
        {kColumnTrack, -1, 1, -1},   {kColumnYear, -2000, 0, 0},
        {kColumnYear, -2000, 1, -1},
    };
    for (const Case& c : cases) {
        RowSet rows;
        LibraryItem* a = rows.Add({"Same", "A", "Same", 0, 0, "Same", 0});
        LibraryItem* b = rows.Add({"Same", "B", "Same", 0, 0, "Same", 0});
        int32_t* fieldA = c.column == kColumnLength  ? &a->length
                          : c.column == kColumnTrack ? &a->track
                                                     : &a->year;
        int32_t* fieldB = c.column == kColumnLength  ? &b->length
                          : c.column == kColumnTrack ? &b->track
                                                     : &b->year;
        *fieldA = c.low;
        *fieldB = c.high;
        EXPECT_EQ(CompareRows(*a, *b, SortState{c.column, 0}), c.expected)
            << "column " << c.column << ": " << c.low << " vs " << c.high;
    }
}

// Sorting whole lists

TEST(SortRows, ArtistDescendingKeepsTracksOfAnAlbumInPlayOrder) {
    RowSet rows;
    rows.Add({"Abba", "Waterloo", "Waterloo", 0, 1, nullptr, 0});
    rows.Add({"The Beatles", "Something", "Abbey Road", 0, 2, nullptr, 0});
    rows.Add({"Cream", "Badge", "Goodbye", 0, 5, nullptr, 0});
    rows.Add({"beatles", "Help!", "Help!", 0, 1, nullptr, 0});
    rows.Add({"The Beatles", "Come Together", "Abbey Road", 0, 1, nullptr, 0});
    rows.Add({"Beatles", "Ticket to Ride", "Help!", 0, 7, nullptr, 0});
    rows.Add({"BEATLES", "Another", "Help!", 0, 7, nullptr, 0});
    SortRows(rows.list, SortState{kColumnArtist, 1});
    const std::vector<std::string> expected = {
        "Badge",                                         // Cream
        "Help!",         "Another",   "Ticket to Ride",  // Beatles, Help!: track 1, 7, 7 by title
        "Come Together", "Something",                    // Beatles, Abbey Road
        "Waterloo",                                      // Abba
    };
    EXPECT_EQ(Titles(rows), expected);
}

TEST(SortRows, AlbumInEitherDirectionAscendsWithinAnAlbum) {
    for (int32_t direction : {0, 1}) {
        RowSet rows;
        rows.Add({"Zed", "Two", "Beta", 0, 2, nullptr, 0});
        rows.Add({"Zed", "One", "Beta", 0, 1, nullptr, 0});
        rows.Add({"Amy", "One b", "Beta", 0, 1, nullptr, 0});
        rows.Add({"Bob", "same", "Beta", 0, 3, nullptr, 0});
        rows.Add({"Al", "Same", "Beta", 0, 3, nullptr, 0});  // titles tie: the artist decides
        rows.Add({"Zed", "Other", "Alpha", 0, 9, nullptr, 0});
        rows.Add({"Zed", "Last", "The Gamma", 0, 1, nullptr, 0});
        SortRows(rows.list, SortState{kColumnAlbum, direction});
        const std::vector<std::string> within = {"One", "One b", "Two", "Same", "same"};
        std::vector<std::string> expected;
        if (direction == 0) {
            expected.push_back("Other");
            expected.insert(expected.end(), within.begin(), within.end());
            expected.push_back("Last");
        } else {
            expected.push_back("Last");
            expected.insert(expected.end(), within.begin(), within.end());
            expected.push_back("Other");
        }
        EXPECT_EQ(Titles(rows), expected) << "direction " << direction;
    }
}

TEST(SortRows, TrackDescendingDescendsOnAllFourKeys) {
    RowSet rows;
    rows.Add({"A", "T1", "A", 0, 1, nullptr, 0});
    rows.Add({"A", "T2", "B", 0, 2, nullptr, 0});
    rows.Add({"A", "X", "A", 0, 2, nullptr, 0});
    rows.Add({"A", "X", "B", 0, 2, nullptr, 0});
    rows.Add({"B", "X", "A", 0, 2, nullptr, 0});
    SortRows(rows.list, SortState{kColumnTrack, 1});
    ASSERT_EQ(rows.list.Count(), 5);
    const struct {
        const char* artist;
        const char* title;
        const char* album;
    } expected[] = {
        {"B", "X", "A"}, {"A", "X", "B"}, {"A", "X", "A"}, {"A", "T2", "B"}, {"A", "T1", "A"}};
    for (int32_t i = 0; i < 5; ++i) {
        const LibraryItem* row = rows.list.Get(i);
        EXPECT_STREQ(row->artist, expected[i].artist) << i;
        EXPECT_STREQ(row->title, expected[i].title) << i;
        EXPECT_STREQ(row->album, expected[i].album) << i;
    }
}

TEST(SortRows, EmptyAndAbsentKeysComeFirstAscending) {
    RowSet rows;
    rows.Add({"abba", "a", "4", 0, 0, nullptr, 0});
    rows.Add({"!!!", "b", "3", 0, 0, nullptr, 0});
    rows.Add({nullptr, "c", "2", 0, 0, nullptr, 0});
    rows.Add({"", "d", "1", 0, 0, nullptr, 0});
    rows.Add({"0", "e", "0", 0, 0, nullptr, 0});
    SortRows(rows.list, SortState{kColumnArtist, 0});
    // The three empty keys tie on Artist and fall to the album.
    const std::vector<std::string> expected = {"d", "c", "b", "e", "a"};
    EXPECT_EQ(Titles(rows), expected);
}

TEST(SortRows, LargeListsComeOutOrderedUnderEveryState) {
    // Over sixteen rows std::sort leaves insertion sort; many ties stress the
    // comparator.
    const char* const texts[] = {"The Beatles", "beatles", "Abba",    "",    nullptr,
                                 "!!",          "Cream",   "the the", "a_b", "AB"};
    for (int32_t column = -1; column <= kColumnCount; ++column) {
        for (int32_t direction : {0, 1}) {
            RowSet rows;
            uint32_t seed = 12345;
            auto next = [&seed](uint32_t bound) {
                seed = seed * 1103515245u + 12345u;
                return (seed >> 16) % bound;
            };
            for (int i = 0; i < 300; ++i) {
                rows.Add({texts[next(10)], texts[next(10)], texts[next(10)],
                          static_cast<int32_t>(next(5)) - 2, static_cast<int32_t>(next(5)) - 1,
                          texts[next(10)], static_cast<int32_t>(next(3)) - 1});
            }
            const SortState state{column, direction};
            SortRows(rows.list, state);
            ASSERT_EQ(rows.list.Count(), 300);
            for (int32_t i = 1; i < rows.list.Count(); ++i) {
                ASSERT_LE(CompareRows(*rows.list.Get(i - 1), *rows.list.Get(i), state), 0)
                    << "column " << column << " direction " << direction << " at " << i;
            }
        }
    }
}

TEST(SortRows, EmptyListsAndNullEntriesAreSafe) {
    ItemList empty;
    SortRows(empty, SortState{});
    EXPECT_EQ(empty.Count(), 0);

    RowSet rows;
    rows.Add({"B", "b", nullptr, 0, 0, nullptr, 0});
    rows.list.Append(nullptr);
    rows.Add({"A", "a", nullptr, 0, 0, nullptr, 0});
    SortRows(rows.list, SortState{kColumnArtist, 0});
    const std::vector<std::string> expected = {"<null>", "a", "b"};
    EXPECT_EQ(Titles(rows), expected);

    rows.list.Release();  // the rows stay owned by the set
    SortRows(rows.list, SortState{kColumnArtist, 0});
    EXPECT_EQ(rows.list.Count(), 0);
}

TEST(SortRows, UnsortableColumnsKeepEveryRow) {
    for (int32_t column : {int32_t{kColumnFilename}, int32_t{99}}) {
        RowSet rows;
        for (int i = 0; i < 40; ++i) {
            rows.Add({"x", std::to_string(i).c_str(), nullptr, i, i, nullptr, i});
        }
        SortRows(rows.list, SortState{column, 0});
        ASSERT_EQ(rows.list.Count(), 40);
        std::vector<bool> seen(40, false);
        for (int32_t i = 0; i < 40; ++i) {
            seen[static_cast<size_t>(rows.list.Get(i)->length)] = true;
        }
        EXPECT_EQ(seen, std::vector<bool>(40, true)) << column;
    }
}

// The comparison as it was before rows kept derived keys: both sort keys
// derived again from the texts on every call. The stored keys must give
// exactly this order.
namespace reference {

const char* Text(const LibraryItem& row, int32_t column) {
    switch (column) {
        case kColumnArtist:
            return row.artist;
        case kColumnTitle:
            return row.title;
        case kColumnAlbum:
            return row.album;
        default:
            return row.genre;
    }
}

int32_t Number(const LibraryItem& row, int32_t column) {
    const int32_t value = column == kColumnLength  ? row.length
                          : column == kColumnTrack ? row.track
                                                   : row.year;
    return value < 0 ? 0 : value;
}

int32_t Next(int32_t column) {
    switch (column) {
        case kColumnArtist:
            return kColumnAlbum;
        case kColumnAlbum:
            return kColumnTrack;
        case kColumnTrack:
            return kColumnTitle;
        default:
            return kColumnArtist;
    }
}

int CompareRows(const LibraryItem& a, const LibraryItem& b, const SortState& state) {
    int32_t column = state.column;
    int32_t direction = state.direction;
    if (column < kColumnArtist || column > kColumnYear) {
        return 0;
    }
    for (int step = 0; step < 4; ++step) {
        int order;
        if (column == kColumnLength || column == kColumnTrack || column == kColumnYear) {
            order =
                (Number(a, column) > Number(b, column)) - (Number(a, column) < Number(b, column));
        } else {
            order = CompareKeys(Text(a, column), Text(b, column));
        }
        if (order != 0) {
            return (order < 0) == (direction == 0) ? -1 : 1;
        }
        if (column == kColumnAlbum) {
            direction = 0;
        }
        column = Next(column);
    }
    return 0;
}

}  // namespace reference

// Texts that tie in many ways: case, leading noise and articles, shared
// prefixes of two bytes and more, one or two bytes, empty and absent, high
// bytes, and a key that starts past 255 bytes of noise.
std::vector<std::string> TieProneTexts() {
    std::vector<std::string> texts = {
        "Abba",
        "ABBA",
        "abba ",
        "The Abba",
        "...abba",
        "Abbey Road",
        "Abbe",
        "Ab",
        "ab",
        "A",
        "a",
        "The",
        "The ",
        "Theatre",
        "the the",
        "!!",
        "",
        "a_b",
        "AB",
        "Ab\xE9",
        "\xE9t\xE9",
        "The 'Rock'",
        "'Rock'",
        "rock",
        "Rocket",
        "Roc",
        "  The  Who",
        "Who",
        "Golden Mo",
        "golden m",
        "Golden Morning",
    };
    texts.push_back(std::string(300, '.') + "Abba");
    texts.push_back(std::string(254, '-') + "Abbey");
    texts.push_back(std::string(255, ' ') + "Ab");
    return texts;
}

// Library rows drawn from those texts and from small numbers with negatives;
// texts index past the list for an absent text.
void AddTieProneRows(testing_support::OwnedLists& lists, int count, uint32_t seed) {
    const std::vector<std::string> texts = TieProneTexts();
    auto next = [&seed](uint32_t bound) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % bound;
    };
    auto text = [&](void) -> const char* {
        const uint32_t pick = next(static_cast<uint32_t>(texts.size()) + 2);
        return pick < texts.size() ? texts[pick].c_str() : nullptr;
    };
    for (int i = 0; i < count; ++i) {
        RowValues values;
        values.artist = text();
        values.title = text();
        values.album = text();
        values.length = static_cast<int32_t>(next(4)) - 1;
        values.track = static_cast<int32_t>(next(4)) - 1;
        values.genre = text();
        values.year = static_cast<int32_t>(next(3)) - 1;
        values.filename = text();
        lists.Add(values);
    }
}

std::vector<SortState> EveryState() {
    std::vector<SortState> states;
    for (int32_t column = -1; column <= kColumnCount; ++column) {
        for (int32_t direction : {0, 1, 5}) {
            states.push_back(SortState{column, direction});
        }
    }
    return states;
}

TEST(CompareRows, StoredKeysGiveTheOrderOfKeysDerivedOnEveryCall) {
    testing_support::OwnedLists lists;
    AddTieProneRows(lists, 160, 777);
    RowSet outside;  // rows that never entered the library derive their keys on the spot
    for (int i = 0; i < 12; ++i) {
        const LibraryItem& row = *lists.library.Get(i);
        outside.Add({row.artist, row.title, row.album, row.length, row.track, row.genre, row.year});
    }
    for (const SortState& state : EveryState()) {
        for (int32_t i = 0; i < lists.library.Count(); ++i) {
            for (int32_t j = 0; j < lists.library.Count(); ++j) {
                const LibraryItem& a = *lists.library.Get(i);
                const LibraryItem& b = *lists.library.Get(j);
                ASSERT_EQ(CompareRows(a, b, state), reference::CompareRows(a, b, state))
                    << "column " << state.column << " direction " << state.direction << " rows "
                    << i << ", " << j;
            }
            for (int32_t j = 0; j < outside.list.Count(); ++j) {
                const LibraryItem& a = *lists.library.Get(i);
                const LibraryItem& b = *outside.list.Get(j);
                ASSERT_EQ(CompareRows(a, b, state), reference::CompareRows(a, b, state));
                ASSERT_EQ(CompareRows(b, a, state), reference::CompareRows(b, a, state));
            }
        }
    }
}

// Places in the library list of the rows of `list`, in list order.
std::vector<int32_t> LibraryPlaces(const ItemList& library, const ItemList& list) {
    std::vector<int32_t> places;
    for (int32_t i = 0; i < list.Count(); ++i) {
        for (int32_t j = 0; j < library.Count(); ++j) {
            if (library.Get(j) == list.Get(i)) {
                places.push_back(j);
            }
        }
    }
    return places;
}

TEST(SortRows, FollowsTheReferenceOrderWithEqualRowsInLibraryOrder) {
    testing_support::OwnedLists lists;
    AddTieProneRows(lists, 600, 4242);
    // Start from a shuffled list, as a re-sort after another column does.
    ItemList shuffled;
    for (int32_t i = 0; i < lists.library.Count(); ++i) {
        ASSERT_TRUE(shuffled.Append(lists.library.Get((i * 7919) % lists.library.Count())));
    }
    for (const SortState& state : EveryState()) {
        SortRows(shuffled, state, lists.sortRanks);
        const std::vector<int32_t> places = LibraryPlaces(lists.library, shuffled);
        ASSERT_EQ(places.size(), 600u);
        for (size_t i = 1; i < places.size(); ++i) {
            const LibraryItem& a = *lists.library.Get(places[i - 1]);
            const LibraryItem& b = *lists.library.Get(places[i]);
            const int order = reference::CompareRows(a, b, state);
            ASSERT_TRUE(order < 0 || (order == 0 && places[i - 1] < places[i]))
                << "column " << state.column << " direction " << state.direction << " at " << i;
        }
    }
}

TEST(SortRows, RowsThatAllTieKeepTheirOrderTwiceInARow) {
    // Every key equal, but the filename (which no chain compares) tells rows
    // apart.
    for (int32_t column : {int32_t{kColumnArtist}, int32_t{kColumnTrack}, int32_t{kColumnFilename},
                           int32_t{99}, int32_t{-3}}) {
        testing_support::OwnedLists lists;
        RowSet outside;
        for (int i = 0; i < 70; ++i) {
            const std::string name = std::to_string(i);
            lists.Add({"The Band", "Song", "Album", 60, 1, "Rock", 1999, name.c_str()});
            outside.Add({"the band", "song", "ALBUM", 60, 1, "rock", 1999, name.c_str()});
        }
        for (int pass = 0; pass < 2; ++pass) {
            for (int32_t direction : {0, 1}) {
                ItemList library;  // a result list in library order, as the filter pass makes
                for (int32_t i = 0; i < lists.library.Count(); ++i) {
                    ASSERT_TRUE(library.Append(lists.library.Get(i)));
                }
                SortRows(library, SortState{column, direction}, lists.sortRanks);
                SortRows(outside.list, SortState{column, direction});
                for (int32_t i = 0; i < 70; ++i) {
                    ASSERT_EQ(library.Get(i), lists.library.Get(i)) << column << " at " << i;
                    ASSERT_EQ(std::stoi(outside.list.Get(i)->filename), i) << column << " at " << i;
                }
            }
        }
    }
}

TEST(SortRows, AColumnThatTiesEverywhereShowsLibraryOrderAfterAnotherSort) {
    testing_support::OwnedLists lists;
    for (const char* artist : {"Cream", "Abba", "Blur", "abba", "Doors", "ABBA"}) {
        lists.Add({artist, "x", nullptr, 0, 0, nullptr, 0});
    }
    ItemList result;
    for (int32_t i = 0; i < lists.library.Count(); ++i) {
        ASSERT_TRUE(result.Append(lists.library.Get(i)));
    }
    SortRows(result, SortState{kColumnArtist, 1}, lists.sortRanks);
    // The three Abbas tie on every key: they keep library order even
    // descending.
    EXPECT_EQ(LibraryPlaces(lists.library, result), (std::vector<int32_t>{4, 0, 2, 1, 3, 5}));
    for (int32_t column : {int32_t{kColumnFilename}, int32_t{12}}) {
        SortRows(result, SortState{column, 0}, lists.sortRanks);
        EXPECT_EQ(LibraryPlaces(lists.library, result), (std::vector<int32_t>{0, 1, 2, 3, 4, 5}));
    }
}

TEST(SortRows, RanksFollowTheLibraryAsItGrowsAndAcrossLibraries) {
    testing_support::OwnedLists lists;
    testing_support::OwnedLists other;
    AddTieProneRows(lists, 200, 99);
    AddTieProneRows(other, 50, 7);
    const SortState byArtist{kColumnArtist, 0};
    auto expectOrdered = [&byArtist](const ItemList& list, const char* when) {
        for (int32_t i = 1; i < list.Count(); ++i) {
            ASSERT_LE(reference::CompareRows(*list.Get(i - 1), *list.Get(i), byArtist), 0)
                << when << " at " << i;
        }
    };
    ItemList all;
    for (int32_t i = 0; i < lists.library.Count(); ++i) {
        ASSERT_TRUE(all.Append(lists.library.Get(i)));
    }
    SortRows(all, byArtist, lists.sortRanks);  // ranks the library
    expectOrdered(all, "first sort");
    // New keys land between the ranked ones: the next sort ranks again.
    AddTieProneRows(lists, 100, 1234);
    for (int32_t i = 200; i < lists.library.Count(); ++i) {
        ASSERT_TRUE(all.Append(lists.library.Get(i)));
    }
    SortRows(all, byArtist, lists.sortRanks);
    expectOrdered(all, "after rows entered");
    // Rows of two libraries in one list: neither library's ranks apply.
    for (int32_t i = 0; i < other.library.Count(); ++i) {
        ASSERT_TRUE(all.Append(other.library.Get(i)));
    }
    SortRows(all, byArtist, lists.sortRanks);
    expectOrdered(all, "two libraries");
    all.Release();
    // A cleared library forgets its ranks along with its rows.
    ClearLibrary(lists);
    AddTieProneRows(lists, 300, 5);
    for (int32_t i = 0; i < lists.library.Count(); ++i) {
        ASSERT_TRUE(all.Append(lists.library.Get(i)));
    }
    SortRows(all, byArtist, lists.sortRanks);
    expectOrdered(all, "after clearing");
}

// Column clicks

TEST(ApplyColumnClick, SameColumnFlipsAnotherColumnKeepsDirection) {
    const struct {
        SortState before;
        int32_t clicked;
        SortState after;
    } cases[] = {
        {{kColumnArtist, 1}, kColumnTitle, {kColumnTitle, 1}},
        {{kColumnTitle, 1}, kColumnTitle, {kColumnTitle, 0}},
        {{kColumnTitle, 0}, kColumnTitle, {kColumnTitle, 1}},
        {{kColumnAlbum, 5}, kColumnAlbum, {kColumnAlbum, 0}},
        {{kColumnAlbum, -1}, kColumnAlbum, {kColumnAlbum, 0}},
        {{kColumnArtist, 5}, kColumnYear, {kColumnYear, 5}},
        {{kColumnArtist, 0}, kColumnFilename, {kColumnFilename, 0}},
        {{99, 1}, 99, {99, 0}},
    };
    for (const auto& c : cases) {
        SortState state = c.before;
        ApplyColumnClick(state, c.clicked);
        EXPECT_EQ(state.column, c.after.column)
            << c.before.column << "/" << c.before.direction << " click " << c.clicked;
        EXPECT_EQ(state.direction, c.after.direction)
            << c.before.column << "/" << c.before.direction << " click " << c.clicked;
    }
}

}  // namespace
