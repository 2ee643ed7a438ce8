// The recording skin functions the host hands out for LIBIPC_GET_SKIN_FUNCTION.
#pragma once

#include <windows.h>

namespace devhost {

// Longer border and rule arrays are taken for garbage and not read.
constexpr int kMaxSkinArray = 64;

// The colour the host's skin has for an index.
COLORREF SkinColour(int index);

// The function address answered for a selector, or 0 for one that names no
// function (the list font selector among them).
INT_PTR SkinFunctionAddress(WPARAM selector);

}  // namespace devhost
