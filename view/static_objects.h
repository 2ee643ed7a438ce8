// The static objects the host's entry points hand down to the view and the
// library.
#pragma once

class DeviceCatalogue;
struct LibraryLists;
struct ViewState;

// Constructed in this order at load and destroyed in reverse at unload: the
// library's rows, the view's state with the list font, the catalogue with
// its records. The plug-in defines them together in one file for that. Only
// the entry points name them (the view's dialog procedure and the plug-in's
// init, quit and message handler); everything below takes what it works on
// as arguments.
extern LibraryLists g_lists;
extern ViewState g_view;
extern DeviceCatalogue g_deviceCatalogue;
