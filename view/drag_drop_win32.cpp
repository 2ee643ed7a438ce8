// Play selection, dragging rows out of the list and items dropped on the view.
#include "view/drag_drop.h"

#include <windowsx.h>

#include "library/library_view_win32.h"
#include "library/record_exchange.h"
#include "plugin/plugin_entry.h"
#include "plugin/plugin_state.h"
#include "view/view_selection.h"

namespace {

LRESULT SendToHost(LPARAM code, void* record) {
    return SendMessageA(g_descriptor.hostLibraryWindow, WM_LIBRARY_IPC,
                        reinterpret_cast<WPARAM>(record), code);
}

POINT ScreenPoint(HWND view, LPARAM point) {
    POINT screen = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    ClientToScreen(view, &screen);
    return screen;
}

// No window at all counts as "elsewhere": only the view and its children
// are never dropped on.
bool OverView(HWND view, HWND window) {
    return window != nullptr && (window == view || IsChild(view, window));
}

}  // namespace

void PlaySelection(bool allRows, bool enqueue) {
    if (!g_lists.result || (g_plugin.viewWindow == nullptr && !allRows)) {
        return;
    }
    HostItemRecordList rows{};
    ExportRows(rows, allRows, g_lists, ViewSelection());
    if (rows.count > 0) {
        HostPlayRequest request = {kHostTypeItemRecordList, &rows, enqueue ? 1 : 0};
        SendToHost(LIBIPC_PLAY_ITEMS, &request);
    }
    FreeRecords(rows);  // only now: the host reads the borrowed texts until it returns
}

void BeginDrag(HWND view) {
    SetCapture(view);
}

void DragMove(HWND view, LPARAM point) {
    if (GetCapture() != view) {
        return;
    }
    const POINT screen = ScreenPoint(view, point);
    HostDropRecord record = {kHostTypeItemRecordList, nullptr, 0, screen.x, screen.y, 0, 0};
    const HWND under = WindowFromPoint(screen);
    if (under == nullptr || OverView(view, under)) {
        SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32648)));  // IDC_NO
        return;
    }
    SendToHost(LIBIPC_DRAG_OVER, &record);
}

void DragRelease(HWND view, LPARAM point) {
    if (GetCapture() != view) {
        return;
    }
    ReleaseCapture();
    const POINT screen = ScreenPoint(view, point);
    if (OverView(view, WindowFromPoint(screen))) {
        return;
    }
    HostDropRecord record = {kHostTypeItemRecordList, nullptr, 0, screen.x, screen.y, 1, 0};
    SendToHost(LIBIPC_DRAG_OVER, &record);
    if (record.result <= 0) {
        return;
    }
    HostItemRecordList rows{};
    ExportRows(rows, false, g_lists, ViewSelection());
    if (rows.count > 0) {
        record.data = &rows;
        record.result = 0;
        record.flags = 0;
        SendToHost(LIBIPC_DROP, &record);
    }
    FreeRecords(rows);
}

void ViewDrop(HostDropRecord* record) {
    if (record == nullptr || record->type != kHostTypeItemRecordList) {
        return;
    }
    record->result = 1;
    if (record->data != nullptr) {
        ImportRecords(static_cast<const HostItemRecordList*>(record->data), g_lists.library);
        RunFilterPass();
    }
}
