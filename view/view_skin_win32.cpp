// The view's skin slots and border list.
#include "view/view_skin.h"

#include <commctrl.h>

#include "host/host_requests.h"
#include "resources/resource.h"

const int32_t kBorderControls[kBorderCount] = {0x10000 | IDC_SEARCH, 0x10000 | IDC_LIST};

namespace {

template <typename Function>
Function SkinFunction(HWND hostLibraryWindow, WPARAM selector) {
    return reinterpret_cast<Function>(
        AskLibraryWindow(hostLibraryWindow, LIBIPC_GET_SKIN_FUNCTION, selector));
}

}  // namespace

void FetchSkinFunctions(HWND hostLibraryWindow, ViewSkin& skin) {
    skin.color = SkinFunction<SkinGetColor>(hostLibraryWindow, SKINFN_GET_COLOR);
    skin.preHandler = SkinFunction<SkinDialogMessage>(hostLibraryWindow, SKINFN_DIALOG_MESSAGE);
    skin.drawBorders = SkinFunction<SkinDrawBorders>(hostLibraryWindow, SKINFN_DRAW_BORDERS);
    skin.resizeInit = SkinFunction<SkinResize>(hostLibraryWindow, SKINFN_RESIZE_INIT);
    skin.resize = SkinFunction<SkinResize>(hostLibraryWindow, SKINFN_RESIZE);
}

void ApplyListColours(HWND listControl, const ViewSkin& skin) {
    const SkinGetColor color = skin.color;
    SendMessageA(listControl, LVM_SETTEXTCOLOR, 0, color ? color(1) : 0xFFFFFF);
    SendMessageA(listControl, LVM_SETBKCOLOR, 0, color ? color(0) : 0);
    SendMessageA(listControl, LVM_SETTEXTBKCOLOR, 0, color ? color(0) : 0);
}
