// The plug-in's entry points: the export and the descriptor's functions.
#pragma once

#include "host/host_api.h"

extern "C" __declspec(dllexport) PluginDescriptor* KOVRA_HOST_CALL winampGetMediaLibraryPlugin();

// The descriptor the export hands out; the host fills its three handles.
extern PluginDescriptor g_descriptor;

int KOVRA_HOST_CALL PluginInit();
void KOVRA_HOST_CALL PluginQuit();
INT_PTR KOVRA_HOST_CALL PluginMessageHandler(int message, INT_PTR param1, INT_PTR param2,
                                             INT_PTR param3);
