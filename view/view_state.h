// The view's state: what the library view works on besides the library's
// lists and the catalogue.
#pragma once

#include <windows.h>

#include "host/host_api.h"
#include "host/settings.h"
#include "library/sort_order.h"
#include "view/list_view_binding.h"
#include "view/view_skin.h"

// The open view window, the list binding with the list font the host handed
// over, the host's skin functions and the sort order. The plug-in keeps one
// (view/static_objects.h) that outlives every view window: the font and the
// sort order are kept from one view to the next, the skin functions are
// asked for again at every opening. The list binding deletes the font when
// the state goes (at unload). A read's progress line is not kept here: it
// lives as long as the read (view/read_progress_scope.h).
struct ViewState {
    // The host's windows and the plug-in's module, and the host's settings
    // file; set by the plug-in before the first view opens, owned by the
    // plug-in.
    const PluginDescriptor* host = nullptr;
    const SettingsFile* settings = &kNoSettingsFile;
    HWND window = nullptr;  // the open library view, or null
    ListViewBinding listBinding;
    ViewSkin skin = {};
    SortState sort;
};
