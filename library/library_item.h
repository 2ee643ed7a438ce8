// A library row: the plug-in's own copy of one track, as a plain heap block.
#pragma once

#include <cstdint>

#include "base/text_copy.h"
#include "library/sort_key.h"

// Where a row came from: what the host handed in (dropped or sent), a track
// of the player's catalogue, or the fixed sample row. A zero-filled row is
// the host's.
enum class RowOrigin : uint8_t { Host = 0, Device = 1, Sample = 2 };

// Fields in column order (library/columns.h): the field's position is the
// column number the view, the cell texts and the sort share. Each text is a
// separate heap copy owned by the row, or null (absent). A new row is
// zero-filled: absent texts and zero numbers. The sort keys follow the eight
// column fields; the library derives them when the row enters it.
struct LibraryItem {
    char* artist;
    char* title;
    char* album;
    int32_t length;  // seconds
    int32_t track;
    char* genre;
    int32_t year;
    char* filename;
    RowSortKeys sortKeys;  // zero until the row enters the library
    RowOrigin origin;      // Host in a zero-filled row
};

// A zero-filled row; null when memory runs out. Free it with FreeRow.
LibraryItem* NewRow();

// Frees the row's five texts, then the row. Null is ignored.
void FreeRow(LibraryItem* row);
