// The rows the view's list control shows selected.
#pragma once

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
