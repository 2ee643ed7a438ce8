// Play selection, dragging rows out of the list and items dropped on the view.
#include "view/drag_drop.h"

#include <windowsx.h>

#include "host/host_filename.h"
#include "host/host_requests.h"
#include "library/library_lists.h"
#include "library/record_exchange.h"
#include "view/filter_and_sort.h"
#include "view/view_selection.h"
#include "view/view_state.h"

namespace {

template <typename Record>
LRESULT SendToHost(const ViewState& state, LPARAM code, Record* record) {
    return AskLibraryWindow(state.host->hostLibraryWindow, code, record);
}

POINT ScreenPoint(HWND view, LPARAM point) {
    POINT screen = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    ClientToScreen(view, &screen);
    return screen;
}

}  // namespace

void PlaySelection(const ViewState& state, const LibraryLists& lists, bool enqueue) {
    if (!lists.result || state.window == nullptr) {
        return;
    }
    const RowLoan loan(lists);
    AnsiHostFilenames filenames;
    ExportedRows rows(ExportScope::kSelectedRows, lists, ViewSelection(state), &filenames);
    if (!rows.Empty()) {
        HostPlayRequest request = {kHostTypeItemRecordList, rows.List(), enqueue ? 1 : 0};
        SendToHost(state, LIBIPC_PLAY_ITEMS, &request);
    }
}

void BeginDrag(HWND view) {
    SetCapture(view);
}

void DragMove(const ViewState& state, HWND view, LPARAM point) {
    if (GetCapture() != view) {
        return;
    }
    const POINT screen = ScreenPoint(view, point);
    HostDropRecord record = {kHostTypeItemRecordList, nullptr, 0, screen.x, screen.y, 0, 0};
    const HWND under = WindowFromPoint(screen);
    if (under == nullptr || IsViewOrChild(view, under)) {
        SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32648)));  // IDC_NO
        return;
    }
    SendToHost(state, LIBIPC_DRAG_OVER, &record);
}

void DragRelease(const ViewState& state, const LibraryLists& lists, HWND view, LPARAM point) {
    if (GetCapture() != view) {
        return;
    }
    ReleaseCapture();
    const POINT screen = ScreenPoint(view, point);
    // No window at all counts as "elsewhere": only the view and its
    // children are never dropped on.
    if (IsViewOrChild(view, WindowFromPoint(screen))) {
        return;
    }
    HostDropRecord record = {kHostTypeItemRecordList, nullptr, 0, screen.x, screen.y, 1, 0};
    SendToHost(state, LIBIPC_DRAG_OVER, &record);
    if (record.result <= 0) {
        return;
    }
    const RowLoan loan(lists);
    AnsiHostFilenames filenames;
    ExportedRows rows(ExportScope::kSelectedRows, lists, ViewSelection(state), &filenames);
    if (!rows.Empty()) {
        record.data = rows.List();
        record.result = 0;
        record.flags = 0;
        SendToHost(state, LIBIPC_DROP, &record);
    }
}

void ViewDrop(const ViewState& state, LibraryLists& lists, HostDropRecord* record) {
    if (record == nullptr || record->type != kHostTypeItemRecordList) {
        return;
    }
    record->result = 1;
    if (record->data != nullptr) {
        TakeHostItems(state, lists, static_cast<const HostItemRecordList*>(record->data));
    }
}
