// The library's columns, one row each: what the view's header says, how wide
// it starts, what a cell shows, how the column sorts and whether search looks
// at it. The view, the cell texts, the sort, the search and the exports all
// read this table, so a column is added or changed here and in LibraryItem.
#pragma once

#include <cstddef>
#include <cstdint>

#include "library/library_item.h"
#include "library/sort_key.h"

// Column numbers: the same numbers serve the list's columns, the cell texts,
// the keyboard search and the sort, and they are the order of LibraryItem's
// fields.
enum Column : int {
    kColumnArtist = 0,
    kColumnTitle = 1,
    kColumnAlbum = 2,
    kColumnLength = 3,
    kColumnTrack = 4,
    kColumnGenre = 5,
    kColumnYear = 6,
    kColumnFilename = 7,
};
constexpr int kColumnCount = 8;

// How a number column shows a value: written into `buffer` (when it has room)
// and returned; never null.
using NumberFormat = const char* (*)(int32_t value, char* buffer, size_t size);

// "%d:%02d" of length / 60 and length % 60, truncating toward zero.
const char* LengthText(int32_t length, char* buffer, size_t size);
// "%d" of the track number when 0 < track < 1000, else the empty text.
const char* TrackText(int32_t track, char* buffer, size_t size);
// "%d" of the year when 0 < year < 5000, else the empty text.
const char* YearText(int32_t year, char* buffer, size_t size);

constexpr int kNoColumn = -1;

// A column is a text (a field that holds a text or null) or a number (a field
// and how it shows). A text column that sorts keeps its key's rank in the
// row's RowSortKeys slot `textKey`; a number column sorts by its value.
struct ColumnInfo {
    const char* title;  // the view's header and the exports' field name
    const char* name;   // what the command line's --sort calls it
    int width;          // the view's starting width, in pixels
    char* LibraryItem::*text;
    int32_t LibraryItem::*number;
    NumberFormat format;
    int textKey;   // a sorting text column's slot; -1 for other columns
    int tieBreak;  // the column that decides a tie on this one; kNoColumn: it does not sort
    bool searched;

    bool IsText() const { return text != nullptr; }
    bool Sorts() const { return tieBreak != kNoColumn; }
};

inline constexpr ColumnInfo kColumns[kColumnCount] = {
    {"Artist", "artist", 200, &LibraryItem::artist, nullptr, nullptr, kTextKeyArtist, kColumnAlbum,
     true},
    {"Title", "title", 200, &LibraryItem::title, nullptr, nullptr, kTextKeyTitle, kColumnArtist,
     true},
    {"Album", "album", 200, &LibraryItem::album, nullptr, nullptr, kTextKeyAlbum, kColumnTrack,
     true},
    {"Length", "length", 64, nullptr, &LibraryItem::length, LengthText, -1, kColumnArtist, false},
    {"Track #", "track", 64, nullptr, &LibraryItem::track, TrackText, -1, kColumnTitle, false},
    {"Genre", "genre", 100, &LibraryItem::genre, nullptr, nullptr, kTextKeyGenre, kColumnArtist,
     true},
    {"Year", "year", 64, nullptr, &LibraryItem::year, YearText, -1, kColumnArtist, true},
    {"Filename", "filename", 80, &LibraryItem::filename, nullptr, nullptr, -1, kNoColumn, false},
};

// The column's row of the table, or null for a number outside 0-7.
inline const ColumnInfo* ColumnAt(int32_t column) {
    return column >= 0 && column < kColumnCount ? &kColumns[column] : nullptr;
}

// The column whose rank RowSortKeys keeps in slot `textKey`.
constexpr int ColumnOfTextKey(int textKey) {
    for (int column = 0; column < kColumnCount; ++column) {
        if (kColumns[column].textKey == textKey) {
            return column;
        }
    }
    return kNoColumn;
}

// Per RowSortKeys slot, its column.
inline constexpr int kTextKeyColumns[kTextKeyCount] = {ColumnOfTextKey(0), ColumnOfTextKey(1),
                                                       ColumnOfTextKey(2), ColumnOfTextKey(3)};

static_assert(kTextKeyColumns[0] != kNoColumn && kTextKeyColumns[1] != kNoColumn &&
                  kTextKeyColumns[2] != kNoColumn && kTextKeyColumns[3] != kNoColumn,
              "every slot of RowSortKeys belongs to a column");

// The text of `row` that RowSortKeys' slot `textKey` ranks, or null.
inline const char* KeyText(const LibraryItem& row, int textKey) {
    return row.*kColumns[kTextKeyColumns[textKey]].text;
}
