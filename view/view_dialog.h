// The library view: the plug-in's dialog inside the host's library window.
#pragma once

#include <windows.h>

#include "host/host_api.h"
#include "host/settings.h"

// Creates the view, modeless, from its dialog template in `host`'s module as
// a child of `parent`. The view talks to the host's windows that `host`
// names and keeps its settings in `settings`; both must outlive every view.
// Null when the dialog cannot be made.
HWND CreateLibraryView(const PluginDescriptor& host, const SettingsFile& settings, HWND parent);
