// The host's skin services as the view holds them, and the tables it hands
// to them.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/host_api.h"

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

// The same table for every view, for as long as the library is loaded.
constexpr int kResizeRuleCount = 4;
extern ResizeRule g_resizeRules[kResizeRuleCount];

constexpr int kBorderCount = 2;
extern const int32_t kBorderControls[kBorderCount];

// Asks the host for the five skin functions, in selector order, into `skin`.
void FetchSkinFunctions(HWND hostLibraryWindow, ViewSkin& skin);

// Text and background colours of the list: the skin's, or white on black.
void ApplyListColours(HWND listControl, const ViewSkin& skin);
