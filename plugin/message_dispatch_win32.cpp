// The message handler: every host message to the plug-in, dispatched.
#include "host/host_boundary.h"
#include "host/host_requests.h"
#include "plugin/plugin_entry.h"
#include "plugin/plugin_state.h"
#include "plugin/tree_item.h"
#include "view/filter_and_sort.h"
#include "view/static_objects.h"
#include "view/view_dialog.h"

namespace {

constexpr char kSendToDescription[] = "ItemCacheEx";

INT_PTR OwnAddress() {
    return reinterpret_cast<INT_PTR>(&PluginMessageHandler);
}

// Items dropped on the tree item or sent to the plug-in become rows, and the
// open view shows those that match its search.
void TakeItems(const ViewState& view, LibraryLists& lists, INT_PTR list) {
    TakeHostItems(view, lists, reinterpret_cast<const HostItemRecordList*>(list));
}

INT_PTR OnTreeClick(const PluginDescriptor& host, const PluginState& plugin, INT_PTR param2,
                    INT_PTR param3) {
    if (param2 == 0) {
        ShowTreeMenu(plugin.treeMenu, host.moduleInstance, reinterpret_cast<HWND>(param3));
    }
    return 1;
}

INT_PTR OnTreeDropTarget(const ViewState& view, LibraryLists& lists, INT_PTR type, INT_PTR list) {
    if (type != kHostTypeItemRecordList) {
        return -1;
    }
    if (list != 0) {
        TakeItems(view, lists, list);
    }
    return 1;
}

INT_PTR OnBuildSendTo(const PluginDescriptor& host, INT_PTR param1, INT_PTR context) {
    if (param1 == 0) {
        HostSendToRecord entry = {kSendToDescription, context, OwnAddress()};
        AskLibraryWindow(host.hostLibraryWindow, LIBIPC_ADD_SEND_TO, &entry);
    }
    return 0;
}

// Only a selection of the entry this plug-in added carries its own address.
INT_PTR OnSendToSelect(const ViewState& view, LibraryLists& lists, INT_PTR param1, INT_PTR list,
                       INT_PTR userValue) {
    if (param1 != 0 || list == 0 || userValue != OwnAddress()) {
        return 0;
    }
    TakeItems(view, lists, list);
    return 1;
}

// The table names the static objects and hands them to the handlers.
INT_PTR Dispatch(int message, INT_PTR param1, INT_PTR param2, INT_PTR param3) {
    if (message >= PLUGMSG_TREE_FIRST && message <= PLUGMSG_TREE_LAST &&
        param1 != g_plugin.treeItemId) {
        return 0;
    }
    switch (message) {
        case PLUGMSG_CREATE_VIEW:
            return reinterpret_cast<INT_PTR>(
                CreateLibraryView(g_descriptor, g_plugin.settings, reinterpret_cast<HWND>(param2)));
        case PLUGMSG_TREE_CLICK:
            return OnTreeClick(g_descriptor, g_plugin, param2, param3);
        case PLUGMSG_TREE_DROP_TARGET:
            return OnTreeDropTarget(g_view, g_lists, param2, param3);
        case PLUGMSG_TREE_DRAG_OVER:
            return -1;
        case PLUGMSG_TREE_DROP:
            return DropTreeItem(g_descriptor, g_view, g_lists,
                                reinterpret_cast<const POINT*>(param2));
        case PLUGMSG_BUILD_SEND_TO:
            return OnBuildSendTo(g_descriptor, param1, param2);
        case PLUGMSG_SEND_TO_SELECT:
            return OnSendToSelect(g_view, g_lists, param1, param2, param3);
        default:
            return 0;
    }
}

}  // namespace

// A failure (memory, say) answers 0.
INT_PTR KOVRA_HOST_CALL PluginMessageHandler(int message, INT_PTR param1, INT_PTR param2,
                                             INT_PTR param3) {
    return AnswerHost<INT_PTR>(0, [&] { return Dispatch(message, param1, param2, param3); });
}
