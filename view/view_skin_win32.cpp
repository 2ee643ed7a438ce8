// The view's skin slots, resize table and border list.
#include "view/view_skin.h"

#include <commctrl.h>

#include "resources/resource.h"

ViewSkin g_viewSkin = {};

ResizeRule g_resizeRules[kResizeRuleCount] = {
    {IDC_SEARCH, 0x10, {0, 0, 0, 0}},   // stretches in width
    {IDC_LIST, 0x11, {0, 0, 0, 0}},     // stretches in width and height
    {IDC_CONFIG, 0x101, {0, 0, 0, 0}},  // moves down with the bottom edge
    {IDC_STATUS, 0x111, {0, 0, 0, 0}},  // moves down and stretches in width
};

const int32_t kBorderControls[kBorderCount] = {0x10000 | IDC_SEARCH, 0x10000 | IDC_LIST};

namespace {

template <typename Function>
Function SkinFunction(HWND hostLibraryWindow, WPARAM selector) {
    return reinterpret_cast<Function>(
        SendMessageA(hostLibraryWindow, WM_LIBRARY_IPC, selector, LIBIPC_GET_SKIN_FUNCTION));
}

}  // namespace

void FetchSkinFunctions(HWND hostLibraryWindow) {
    g_viewSkin.color = SkinFunction<SkinGetColor>(hostLibraryWindow, SKINFN_GET_COLOR);
    g_viewSkin.preHandler =
        SkinFunction<SkinDialogMessage>(hostLibraryWindow, SKINFN_DIALOG_MESSAGE);
    g_viewSkin.drawBorders = SkinFunction<SkinDrawBorders>(hostLibraryWindow, SKINFN_DRAW_BORDERS);
    g_viewSkin.resizeInit = SkinFunction<SkinResize>(hostLibraryWindow, SKINFN_RESIZE_INIT);
    g_viewSkin.resize = SkinFunction<SkinResize>(hostLibraryWindow, SKINFN_RESIZE);
}

void ApplyListColours(HWND listControl) {
    const SkinGetColor color = g_viewSkin.color;
    SendMessageA(listControl, LVM_SETTEXTCOLOR, 0, color ? color(1) : 0xFFFFFF);
    SendMessageA(listControl, LVM_SETBKCOLOR, 0, color ? color(0) : 0);
    SendMessageA(listControl, LVM_SETTEXTBKCOLOR, 0, color ? color(0) : 0);
}
