// Row selection through the list control.
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
