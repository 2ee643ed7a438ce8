// The tree item's menu, the About box, the disclaimer dialog and the tree drop.
#include "plugin/tree_item.h"

#include "host/host_filename.h"
#include "host/host_requests.h"
#include "library/library_lists.h"
#include "library/record_exchange.h"
#include "resources/resource.h"
#include "view/disclaimer_dialog.h"
#include "view/view_selection.h"
#include "view/view_state.h"

void ShowTreeMenu(HMENU menu, HINSTANCE module, HWND owner) {
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    const int command =
        TrackPopupMenu(GetSubMenu(menu, 0), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
                       cursor.x, cursor.y, 0, owner, nullptr);
    switch (command) {
        case ID_MENU_ABOUT:
            MessageBoxA(owner, "ml_kovra!!!", "About ml_kovra!!!", MB_OK);
            break;
        case ID_MENU_CONFIG:
            ShowDisclaimer(module, owner);
            break;
        default:
            break;
    }
}

// A host that sends no point gives nothing to drop onto.
INT_PTR DropTreeItem(const PluginDescriptor& host, const ViewState& view, const LibraryLists& lists,
                     const POINT* point) {
    if (point == nullptr || IsViewOrChild(view.window, WindowFromPoint(*point))) {
        return -1;
    }
    const RowLoan loan(lists);
    AnsiHostFilenames filenames;
    ExportedRows rows(ExportScope::kEveryRow, lists, ViewSelection(view), &filenames);
    if (!rows.Empty()) {
        HostDropRecord drop = {kHostTypeItemRecordList, rows.List(), 0, point->x, point->y, 0, 0};
        AskLibraryWindow(host.hostLibraryWindow, LIBIPC_DROP, &drop);
    }
    return 1;
}
