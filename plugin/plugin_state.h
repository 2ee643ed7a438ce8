// The plug-in's own state: the host's settings file, its tree item, the tree
// item's menu and the window that hears drives come and go. The view's state
// and the other static objects are declared with the view
// (view/static_objects.h).
#pragma once

#include <windows.h>

#include "host/settings.h"

// Valid from init to quit.
struct PluginState {
    SettingsFile settings;  // the view keeps its settings here
    INT_PTR treeItemId;     // written by the host when the tree item was added
    HMENU treeMenu;
    HWND deviceWatch;  // hears drives come and go (plugin/device_watch.h)
};

extern PluginState g_plugin;
