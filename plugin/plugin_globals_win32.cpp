// The plug-in's static objects, in the order they must be made and unmade.
#include "plugin/plugin_state.h"

#include "library/debug_output.h"

PluginState g_plugin = {};
SortState g_sortState;

// Constructed top to bottom at load, destroyed bottom to top at unload: the
// catalogue with its records, then the list font, then the library's rows.
LibraryLists g_lists;
ListViewBinding g_listViewBinding;
DeviceCatalogue g_deviceCatalogue;

namespace {

void WriteToDebugger(const char* line) {
    OutputDebugStringA(line);
}

const DebugSink g_previousSink = SetDebugSink(WriteToDebugger);

}  // namespace
