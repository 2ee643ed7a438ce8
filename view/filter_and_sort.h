// The library's operations against the view's controls: the filter pass,
// re-sort, the column click, the stored sort order and items the host hands
// over. Each works on the view state and lists it is given, and does nothing
// visible while that state has no view window or list control.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/host_item_record.h"
#include "library/search_filter.h"

struct LibraryLists;
struct ViewState;

// The search box's longest texts: what is stored as "lastfilter", and what a
// filter pass searches for (a 255-byte read, its NUL included).
constexpr int kStoredSearchLength = kQueryBufferSize - 1;
constexpr int kQueryLength = kQueryBufferSize - 2;

// The first `maxLength` (at most kStoredSearchLength) bytes of the text in
// `view`'s search box; empty without one.
void ReadSearchBox(HWND view, char (&text)[kQueryBufferSize], int maxLength);

// Filters the library by `query`, rebuilds the result list, re-sorts it and
// writes the status line. Nothing at all happens while no view window is open.
void RunFilterPass(const ViewState& state, LibraryLists& lists, const char* query);

// RunFilterPass with the text the search box holds now.
void RunFilterPass(const ViewState& state, LibraryLists& lists);

// Sorts the result list and has the list control show its rows again,
// painting the visible rows once.
void ReSort(const ViewState& state, LibraryLists& lists);

// Flips or moves the sort order, stores it ("sortdir", then "sortcol") and
// re-sorts. The rows shown stay the same.
void OnColumnClick(ViewState& state, LibraryLists& lists, int32_t column);

// "sortdir" (default 0) and "sortcol" (default: the current column), taken
// as they are. Nothing is sorted here.
void ReadStoredSortOrder(ViewState& state);

// Items the host hands over become rows at the end of the library, and the
// open view shows those that match its search box.
void TakeHostItems(const ViewState& state, LibraryLists& lists, const HostItemRecordList* list);
