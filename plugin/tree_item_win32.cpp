// The tree item's menu, the About box, the disclaimer dialog and the tree drop.
#include "plugin/tree_item.h"

#include "library/record_exchange.h"
#include "plugin/host_api.h"
#include "plugin/plugin_entry.h"
#include "plugin/plugin_state.h"
#include "resources/resource.h"
#include "view/view_selection.h"

namespace {

// Closes on OK or Cancel; leaves every message, WM_INITDIALOG included, to
// the dialog manager.
INT_PTR CALLBACK DisclaimerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam) == IDOK ? 1 : 0);
    }
    return FALSE;
}

bool IsViewOrChild(HWND window) {
    const HWND view = g_plugin.viewWindow;
    return view != nullptr && window != nullptr && (window == view || IsChild(view, window));
}

}  // namespace

void ShowTreeMenu(HWND owner) {
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    const int command = TrackPopupMenu(GetSubMenu(g_plugin.treeMenu, 0),
                                       TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, cursor.x,
                                       cursor.y, 0, owner, nullptr);
    switch (command) {
        case ID_MENU_ABOUT:
            MessageBoxA(owner, "ml_kovra!!!", "About ml_kovra!!!", MB_OK);
            break;
        case ID_MENU_CONFIG:
            ShowDisclaimer(owner);
            break;
        default:
            break;
    }
}

void ShowDisclaimer(HWND owner) {
    DialogBoxParamA(g_descriptor.moduleInstance, MAKEINTRESOURCEA(IDD_DISCLAIMER), owner,
                    DisclaimerProc, 0);
}

// A host that sends no point gives nothing to drop onto.
INT_PTR DropTreeItem(const POINT* point) {
    if (point == nullptr || IsViewOrChild(WindowFromPoint(*point))) {
        return -1;
    }
    HostItemRecordList rows{};
    ExportRows(rows, true, g_lists, ViewSelection());
    if (rows.count > 0) {
        HostDropRecord drop = {kHostTypeItemRecordList, &rows, 0, point->x, point->y, 0, 0};
        SendMessageA(g_descriptor.hostLibraryWindow, WM_LIBRARY_IPC,
                     reinterpret_cast<WPARAM>(&drop), LIBIPC_DROP);
    }
    FreeRecords(rows);
    return 1;
}
