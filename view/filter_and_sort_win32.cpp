// The filter pass and the sort order against the view's controls.
#include "view/filter_and_sort.h"

#include <windows.h>
#include <commctrl.h>

#include "host/settings.h"
#include "library/library_lists.h"
#include "library/record_exchange.h"
#include "library/search_filter.h"
#include "library/sort_order.h"
#include "resources/resource.h"
#include "view/view_state.h"

void RunFilterPass(const ViewState& state, LibraryLists& lists, const char* query) {
    const HWND view = state.window;
    if (view == nullptr) {
        return;
    }
    FilterResult found = FilterLibrary(lists, query);
    char status[kStatusLineSize];
    FormatStatusLine(status, sizeof status, lists.library.Count(), found);
    lists.result = std::move(found.rows);
    ReSort(state, lists);
    SetDlgItemTextA(view, IDC_STATUS, status);
}

void ReadSearchBox(HWND view, char (&text)[kQueryBufferSize], int maxLength) {
    text[0] = 0;
    GetDlgItemTextA(view, IDC_SEARCH, text, maxLength + 1);
    text[maxLength] = 0;
}

void RunFilterPass(const ViewState& state, LibraryLists& lists) {
    const HWND view = state.window;
    if (view == nullptr) {
        return;
    }
    char query[kQueryBufferSize];
    ReadSearchBox(view, query, kQueryLength);
    RunFilterPass(state, lists, query);
}

void ReSort(const ViewState& state, LibraryLists& lists) {
    if (!lists.result) {
        return;
    }
    SortRows(*lists.result, state.sort, lists.sortRanks);
    const HWND list = state.listBinding.ListControl();
    const int32_t count = lists.result->Count();
    // With drawing off, the control does not repaint row by row as it is
    // told; the one invalidation after has it paint the visible rows once.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_SETITEMCOUNT, 0, 0);
    SendMessageA(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), 0);
    SendMessageA(list, LVM_REDRAWITEMS, 0, count - 1);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    if (list != nullptr) {
        InvalidateRect(list, nullptr, TRUE);  // a null window would mean every window
    }
}

void OnColumnClick(ViewState& state, LibraryLists& lists, int32_t column) {
    ApplyColumnClick(state.sort, column);
    WriteSettingInt(*state.settings, "sortdir", state.sort.direction);
    WriteSettingInt(*state.settings, "sortcol", state.sort.column);
    ReSort(state, lists);
}

void ReadStoredSortOrder(ViewState& state) {
    state.sort.direction = ReadSettingInt(*state.settings, "sortdir", 0);
    state.sort.column = ReadSettingInt(*state.settings, "sortcol", state.sort.column);
}

void TakeHostItems(const ViewState& state, LibraryLists& lists, const HostItemRecordList* list) {
    ImportRecords(list, lists.library);
    RunFilterPass(state, lists);
}
