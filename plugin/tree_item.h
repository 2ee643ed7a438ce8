// What the tree item does: its context menu with the About box and the
// disclaimer dialog, and dropping the tree item somewhere.
#pragma once

#include <windows.h>

#include "host/host_api.h"

struct LibraryLists;
struct ViewState;

// Shows the tree menu `menu` at the cursor, owned by `owner`, and carries out
// the command chosen (nothing when the menu is dismissed); the disclaimer
// comes from `module`.
void ShowTreeMenu(HMENU menu, HINSTANCE module, HWND owner);

// Drops every shown row at the screen point to `host`'s library window: -1
// when the point is over `view`'s open window (rows never go to their own
// view), else 1.
INT_PTR DropTreeItem(const PluginDescriptor& host, const ViewState& view, const LibraryLists& lists,
                     const POINT* point);
