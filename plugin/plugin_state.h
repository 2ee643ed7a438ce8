// The plug-in's state and its static objects, shared by the host binding,
// the view and the Win32 edge of the library.
#pragma once

#include <windows.h>

#include "catalogue/catalogue_records.h"
#include "library/library_lists.h"
#include "library/sort_order.h"
#include "view/list_view_binding.h"

// Valid from init to quit.
struct PluginState {
    const char* settingsPath;  // owned by the host, valid until unload; may be null
    INT_PTR treeItemId;        // written by the host when the tree item was added
    HMENU treeMenu;
    HWND viewWindow;  // the open library view, or null
};

extern PluginState g_plugin;

// The static objects, constructed in this order at load and destroyed in
// reverse at unload (they are defined together in one file for that).
extern LibraryLists g_lists;
extern ListViewBinding g_listViewBinding;
extern DeviceCatalogue g_deviceCatalogue;

extern SortState g_sortState;
