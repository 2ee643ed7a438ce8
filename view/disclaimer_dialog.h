// The disclaimer dialog, shown by the view's Config button and the tree item's
// menu.
#pragma once

#include <windows.h>

// The disclaimer dialog from `module`'s template, modal, owned by `owner`.
void ShowDisclaimer(HINSTANCE module, HWND owner);
