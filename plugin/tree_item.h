// What the tree item does: its context menu with the About box and the
// disclaimer dialog, and dropping the tree item somewhere.
#pragma once

#include <windows.h>

// Shows the tree menu at the cursor, owned by `owner`, and carries out the
// command chosen (nothing when the menu is dismissed).
void ShowTreeMenu(HWND owner);

// Drops every shown row at the screen point: -1 when the point is over the
// open view (rows never go to their own view), else 1.
INT_PTR DropTreeItem(const POINT* point);
