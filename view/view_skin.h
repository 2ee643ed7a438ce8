// The host's skin services as the view holds them, and the tables it hands
// to them.
#pragma once

#include <windows.h>

#include <cstdint>

#include "plugin/host_api.h"

// One entry of the resize table: the control, how it follows the window, and
// four words that belong to the host's resize functions (never touched here).
struct ResizeRule {
    int32_t controlId;
    int32_t flags;
    int32_t hostWords[4];
};
static_assert(sizeof(ResizeRule) == 24, "six 32-bit words");

// Filled at every opening from the host's answers; a slot the host answered
// 0 stays null and the step that needs it is skipped. Kept between views.
struct ViewSkin {
    SkinGetColor color;
    SkinDialogMessage preHandler;
    SkinDrawBorders drawBorders;
    SkinResize resizeInit;
    SkinResize resize;
    LRESULT skinnedList;  // given back with LIBIPC_UNSKIN_LISTVIEW as received, 0 included
};

extern ViewSkin g_viewSkin;

// The same table for every view, for as long as the library is loaded.
constexpr int kResizeRuleCount = 4;
extern ResizeRule g_resizeRules[kResizeRuleCount];

constexpr int kBorderCount = 2;
extern const int32_t kBorderControls[kBorderCount];

// Asks the host for the five skin functions, in selector order.
void FetchSkinFunctions(HWND hostLibraryWindow);

// Text and background colours of the list: the host's, or white on black.
void ApplyListColours(HWND listControl);
