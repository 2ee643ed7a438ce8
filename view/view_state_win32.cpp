// Which windows belong to the view.
#include "view/view_state.h"

bool IsViewOrChild(HWND view, HWND window) {
    return view != nullptr && window != nullptr && (window == view || IsChild(view, window));
}
