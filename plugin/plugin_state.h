// The plug-in's own state: the host's settings file, its tree item and the
// tree item's menu. The view's state and the other static objects are
// declared with the view (view/static_objects.h).
#pragma once

#include <windows.h>

#include "host/settings.h"

// Valid from init to quit.
struct PluginState {
    SettingsFile settings;  // the view keeps its settings here
    INT_PTR treeItemId;     // written by the host when the tree item was added
    HMENU treeMenu;
};

extern PluginState g_plugin;
