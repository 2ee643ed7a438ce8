// The export, the descriptor, init and quit.
#include "plugin/plugin_entry.h"

#include "host/host_boundary.h"
#include "host/host_requests.h"
#include "library/library_lists.h"
#include "plugin/device_watch.h"
#include "plugin/plugin_state.h"
#include "resources/resource.h"
#include "view/follow_player.h"
#include "view/static_objects.h"

PluginDescriptor g_descriptor = {
    kPluginDescriptorVersion, "ml_kovra v0.001", PluginInit, PluginQuit,
    PluginMessageHandler,     nullptr,           nullptr,    nullptr,
};

extern "C" __declspec(dllexport) PluginDescriptor* KOVRA_HOST_CALL winampGetMediaLibraryPlugin() {
    return &g_descriptor;
}

namespace {

constexpr INT_PTR kTreeItemWord0 = 10000;
constexpr int32_t kTreeItemWord2 = 1;
constexpr char kTreeItemTitle[] = "Olympus m:robe MR-100";

// A drive came or went: the library follows the player, the open view with it.
bool OnDriveNews() {
    return AnswerHost<bool>(true,
                            [] { return FollowPlayerInView(g_view, g_lists, g_deviceCatalogue); });
}

}  // namespace

// The host's answers are stored as they come: a host without a settings file
// leaves the path null, which the settings functions treat as no file.
int KOVRA_HOST_CALL PluginInit() {
    RunForHost([] {
        g_plugin.settings.path = reinterpret_cast<const char*>(
            AskMainWindow(g_descriptor.hostMainWindow, HOSTIPC_GET_INI_FILE));

        HostTreeItemRecord item = {kTreeItemWord0, kTreeItemTitle, kTreeItemWord2, 0};
        AskLibraryWindow(g_descriptor.hostLibraryWindow, LIBIPC_ADD_TREE_ITEM, &item);
        g_plugin.treeItemId = item.itemId;

        g_plugin.treeMenu = LoadMenuA(g_descriptor.moduleInstance, MAKEINTRESOURCEA(IDR_TREE_MENU));
        g_plugin.deviceWatch = StartDeviceWatch(g_descriptor.moduleInstance, OnDriveNews);
    });
    return 0;
}

// Frees every row. The menu goes too: a menu loaded from the module is not
// freed with it, and every load, init, quit and unload would leak one. The
// drive window goes first, so that no look at the player follows.
void KOVRA_HOST_CALL PluginQuit() {
    RunForHost([] {
        StopDeviceWatch(g_plugin.deviceWatch, g_descriptor.moduleInstance);
        g_plugin.deviceWatch = nullptr;
        ClearLibrary(g_lists);
        if (g_plugin.treeMenu != nullptr) {
            DestroyMenu(g_plugin.treeMenu);
            g_plugin.treeMenu = nullptr;
        }
    });
}
