// The rows the view's list control shows selected, and the windows that are the
// view's.
#pragma once

#include <windows.h>

#include "library/record_exchange.h"

struct ViewState;

// Asks the list control of `state`'s open view which rows are selected.
class ViewSelection : public RowSelection {
  public:
    explicit ViewSelection(const ViewState& state) : state_(state) {}
    bool ViewOpen() const override;
    bool IsSelected(int index) const override;

  private:
    const ViewState& state_;
};

// True when `window` is the view `view` or one of its children; false when
// either is null.
bool IsViewOrChild(HWND view, HWND window);
