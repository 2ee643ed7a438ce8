// The library view: the plug-in's dialog inside the host's library window.
#pragma once

#include <windows.h>

// Creates the view, modeless, from its dialog template as a child of
// `parent`. Null when the dialog cannot be made.
HWND CreateLibraryView(HWND parent);
