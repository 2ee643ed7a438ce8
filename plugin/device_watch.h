// The plug-in's ear for the system's drive news: a hidden top-level window
// that hears volumes arrive and leave, and has the library look at the player.
#pragma once

#include <windows.h>

// Called on the host's thread a moment after a volume with a drive letter
// from A to Y arrived or left; answers false to be called again a little
// later (the host holds lent rows).
using PlayerLook = bool (*)();

// Makes the window, owned by `module` and hidden, on the calling thread (the
// host's, inside init): the system broadcasts drive news to top-level
// windows only. Null when it cannot be made; the plug-in then follows the
// player only when a view opens.
HWND StartDeviceWatch(HINSTANCE module, PlayerLook look);

// Destroys the window made by StartDeviceWatch (null is ignored) and lets go
// of its class, so that no window or class of the module outlives quit.
void StopDeviceWatch(HWND watch, HINSTANCE module);
