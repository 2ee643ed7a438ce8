// The library view: the plug-in's dialog inside the host's library window.
#pragma once

#include <windows.h>

#include "host/host_api.h"

// Creates the view, modeless, from its dialog template in `host`'s module as
// a child of `parent`. The view talks to the host's windows that `host`
// names, which must outlive every view. Null when the dialog cannot be made.
HWND CreateLibraryView(const PluginDescriptor& host, HWND parent);
