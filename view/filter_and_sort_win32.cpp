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

void RunFilterPass(const char* query) {
    const HWND view = g_view.window;
    if (view == nullptr) {
        return;
    }
    FilterResult found = FilterLibrary(g_lists, query);
    char status[kStatusLineSize];
    FormatStatusLine(status, sizeof status, g_lists.library.Count(), found);
    g_lists.result = std::move(found.rows);
    ReSort();
    SetDlgItemTextA(view, IDC_STATUS, status);
}

void RunFilterPass() {
    const HWND view = g_view.window;
    if (view == nullptr) {
        return;
    }
    char query[kQueryBufferSize];
    query[0] = 0;
    GetDlgItemTextA(view, IDC_SEARCH, query, static_cast<int>(kQueryBufferSize - 1));
    RunFilterPass(query);
}

void ReSort() {
    if (!g_lists.result) {
        return;
    }
    SortRows(*g_lists.result, g_view.sort);
    const HWND list = g_view.listBinding.ListControl();
    const int32_t count = g_lists.result->Count();
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

void OnColumnClick(int32_t column) {
    ApplyColumnClick(g_view.sort, column);
    WriteSettingInt("sortdir", g_view.sort.direction);
    WriteSettingInt("sortcol", g_view.sort.column);
    ReSort();
}

void ReadStoredSortOrder() {
    g_view.sort.direction = ReadSettingInt("sortdir", 0);
    g_view.sort.column = ReadSettingInt("sortcol", g_view.sort.column);
}

void TakeHostItems(const HostItemRecordList* list) {
    const int32_t before = g_lists.library.Count();
    ImportRecords(list, g_lists.library);
    if (g_lists.library.Count() != before) {
        g_lists.awaitingPlayer = false;  // the user's own rows stay
    }
    RunFilterPass();
}
