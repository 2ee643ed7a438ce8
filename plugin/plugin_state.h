// The plug-in's own state: its tree item and the tree item's menu. The view's
// state and the static objects are declared with the view (view/view_state.h).
#pragma once

#include <windows.h>

// Valid from init to quit.
struct PluginState {
    INT_PTR treeItemId;  // written by the host when the tree item was added
    HMENU treeMenu;
};

extern PluginState g_plugin;
