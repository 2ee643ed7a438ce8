// Row selection through the list control, and the view's windows.
#include "view/view_selection.h"

#include <windows.h>
#include <commctrl.h>

#include "view/view_state.h"

bool ViewSelection::ViewOpen() const {
    return state_.window != nullptr;
}

bool ViewSelection::IsSelected(int index) const {
    const LRESULT state = SendMessageA(state_.listBinding.ListControl(), LVM_GETITEMSTATE,
                                       static_cast<WPARAM>(index), LVIS_SELECTED);
    return (state & LVIS_SELECTED) != 0;
}

bool IsViewOrChild(HWND view, HWND window) {
    return view != nullptr && window != nullptr && (window == view || IsChild(view, window));
}
