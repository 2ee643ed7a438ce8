// The host's skin services as the view holds them, and the tables it hands
// to them.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/host_api.h"
#include "resources/resource.h"

constexpr int kResizeRuleCount = 4;

// Filled at every opening from the host's answers; a slot the host answered
// 0 stays null and the step that needs it is skipped. Kept between views.
struct ViewSkin {
    SkinGetColor color;
    SkinDialogMessage preHandler;
    SkinDrawBorders drawBorders;
    SkinResize resizeInit;
    SkinResize resize;
    LRESULT skinnedList;  // given back with LIBIPC_UNSKIN_LISTVIEW as received, 0 included
    // How the controls follow the view's size. Not constant: the host's resize
    // initialiser writes each control's starting rectangle into its rule, and
    // its resizer reads them back; one table serves every view.
    ResizeRule resizeRules[kResizeRuleCount] = {
        {IDC_SEARCH, 0x10, {0, 0, 0, 0}},   // stretches in width
        {IDC_LIST, 0x11, {0, 0, 0, 0}},     // stretches in width and height
        {IDC_CONFIG, 0x101, {0, 0, 0, 0}},  // moves down with the bottom edge
        {IDC_STATUS, 0x111, {0, 0, 0, 0}},  // moves down and stretches in width
    };
};

constexpr int kBorderCount = 2;
extern const int32_t kBorderControls[kBorderCount];

// Asks the host for the five skin functions, in selector order, into `skin`.
void FetchSkinFunctions(HWND hostLibraryWindow, ViewSkin& skin);

// Text and background colours of the list: the skin's, or white on black.
void ApplyListColours(HWND listControl, const ViewSkin& skin);
