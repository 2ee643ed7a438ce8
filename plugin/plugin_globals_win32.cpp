// The plug-in's static objects, in the order they must be made and unmade.
#include "plugin/plugin_state.h"

#include "base/debug_output.h"
#include "catalogue/catalogue_records.h"
#include "library/library_lists.h"
#include "view/static_objects.h"
#include "view/view_state.h"

PluginState g_plugin = {};

// Constructed top to bottom at load, destroyed bottom to top at unload: the
// catalogue with its records, then the view's state with the list font, then
// the library's rows.
LibraryLists g_lists;
ViewState g_view;
DeviceCatalogue g_deviceCatalogue;

namespace {

void WriteToDebugger(const char* line) {
    OutputDebugStringA(line);
}

// Debug lines go to the debugger from load to unload. The sink replaced is
// none, and nothing puts it back: the code of this one goes with the DLL.
const DebugSink g_previousSink = SetDebugSink(WriteToDebugger);

}  // namespace
