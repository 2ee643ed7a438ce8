// The view's state, and the static objects the view works on.
#pragma once

#include <windows.h>

#include "host/host_api.h"
#include "library/sort_order.h"
#include "view/list_view_binding.h"
#include "view/view_skin.h"

class DeviceCatalogue;
struct LibraryLists;

// One static object, g_view, owns all of the view's state: the open view
// window, the list binding with the list font the host handed over, the
// host's skin functions and the sort order. It outlives every view window:
// the font, skin functions and sort order are kept from one view to the
// next. Its destructor deletes the font (at unload).
struct ViewState {
    // The host's windows and the plug-in's module; set by the plug-in before
    // the first view opens, owned by the plug-in.
    const PluginDescriptor* host = nullptr;
    HWND window = nullptr;  // the open library view, or null
    ListViewBinding listBinding;
    ViewSkin skin = {};
    SortState sort;
};

// The static objects, constructed in this order at load and destroyed in
// reverse at unload: the library's rows, the view's state with the list
// font, the catalogue with its records. The plug-in defines them together
// in one file for that.
extern LibraryLists g_lists;
extern ViewState g_view;
extern DeviceCatalogue g_deviceCatalogue;

// True when `window` is the view `view` or one of its children; false when
// either is null.
bool IsViewOrChild(HWND view, HWND window);
